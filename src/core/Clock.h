// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <memory>

namespace Vexilo {

// A single-shot timer owned by whoever set it; destroying it cancels it.
class Alarm
{
public:
    virtual ~Alarm();
    // (Re)starts it: the callback runs once, delayMs from now, on the thread of the clock.
    virtual void start(int delayMs) = 0;
    virtual void stop() = 0;
    [[nodiscard]] virtual bool isActive() const = 0;
};

// Time as the rules of the application see it: the current date and alarms. The system clock reads
// the real time and runs Qt timers; tests move their own clock by hand, so windows of seconds
// (undo, feedback) are tested without waiting for them.
class Clock
{
public:
    virtual ~Clock();
    // Seconds since 2001-01-01 00:00:00 UTC, as clip dates are kept.
    [[nodiscard]] virtual double now() const = 0;
    [[nodiscard]] virtual std::unique_ptr<Alarm> createAlarm(std::function<void()> onTimeout) = 0;
};

class SystemClock : public Clock
{
public:
    [[nodiscard]] double now() const override;
    [[nodiscard]] std::unique_ptr<Alarm> createAlarm(std::function<void()> onTimeout) override;
};

} // namespace Vexilo
