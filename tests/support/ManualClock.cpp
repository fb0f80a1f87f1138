// SPDX-License-Identifier: MIT
#include "ManualClock.h"

#include <algorithm>
#include <optional>

namespace Vexilo::Test {

class ManualClock::ManualAlarm : public Alarm
{
public:
    ManualAlarm(ManualClock *clock, std::function<void()> onTimeout)
        : m_clock(clock)
        , m_onTimeout(std::move(onTimeout))
    {
        m_clock->m_alarms.push_back(this);
    }
    ~ManualAlarm() override
    {
        if (m_clock)
            std::erase(m_clock->m_alarms, this);
    }
    void start(int delayMs) override { m_due = m_clock->m_now + delayMs / 1000.0; }
    void stop() override { m_due.reset(); }
    [[nodiscard]] bool isActive() const override { return m_due.has_value(); }

    ManualClock *m_clock;
    std::function<void()> m_onTimeout;
    std::optional<double> m_due;
};

ManualClock::~ManualClock()
{
    for (ManualAlarm *alarm : m_alarms)
        alarm->m_clock = nullptr;
}

std::unique_ptr<Alarm> ManualClock::createAlarm(std::function<void()> onTimeout)
{
    return std::make_unique<ManualAlarm>(this, std::move(onTimeout));
}

void ManualClock::advance(double seconds)
{
    const double target = m_now + seconds;
    // One alarm at a time, earliest first: a callback may set or stop other alarms.
    for (;;) {
        ManualAlarm *next = nullptr;
        for (ManualAlarm *alarm : m_alarms) {
            if (alarm->m_due && *alarm->m_due <= target && (!next || *alarm->m_due < *next->m_due))
                next = alarm;
        }
        if (!next)
            break;
        m_now = std::max(m_now, *next->m_due);
        next->m_due.reset();
        next->m_onTimeout();
    }
    m_now = target;
}

} // namespace Vexilo::Test
