// SPDX-License-Identifier: MIT
#pragma once

#include "Clock.h"

#include <vector>

namespace Vexilo::Test {

// A clock the test moves: alarms fire, in order, when the test moves time past them.
class ManualClock : public Clock
{
public:
    explicit ManualClock(double now = 790000000.0)
        : m_now(now)
    { }
    ~ManualClock() override;

    [[nodiscard]] double now() const override { return m_now; }
    [[nodiscard]] std::unique_ptr<Alarm> createAlarm(std::function<void()> onTimeout) override;

    // Moves time forward (or back, firing nothing), firing every alarm that falls due on the way.
    void advance(double seconds);
    ManualClock &operator+=(double seconds)
    {
        advance(seconds);
        return *this;
    }
    ManualClock &operator=(double now)
    {
        m_now = now;
        return *this;
    }
    operator double() const { return m_now; }

private:
    class ManualAlarm;
    friend class ManualAlarm;
    double m_now;
    std::vector<ManualAlarm *> m_alarms;
};

} // namespace Vexilo::Test
