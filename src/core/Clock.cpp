// SPDX-License-Identifier: MIT
#include "Clock.h"

#include "ReferenceDate.h"

#include <QTimer>

namespace Vexilo {

Alarm::~Alarm() = default;
Clock::~Clock() = default;

namespace {

class TimerAlarm : public Alarm
{
public:
    explicit TimerAlarm(std::function<void()> onTimeout)
    {
        m_timer.setSingleShot(true);
        QObject::connect(&m_timer, &QTimer::timeout, std::move(onTimeout));
    }
    void start(int delayMs) override { m_timer.start(delayMs); }
    void stop() override { m_timer.stop(); }
    [[nodiscard]] bool isActive() const override { return m_timer.isActive(); }

private:
    QTimer m_timer;
};

} // namespace

double SystemClock::now() const
{
    return ReferenceDate::now();
}

std::unique_ptr<Alarm> SystemClock::createAlarm(std::function<void()> onTimeout)
{
    return std::make_unique<TimerAlarm>(std::move(onTimeout));
}

} // namespace Vexilo
