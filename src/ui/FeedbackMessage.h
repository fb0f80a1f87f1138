// SPDX-License-Identifier: MIT
#pragma once

#include "Clock.h"

#include <QString>
#include <functional>
#include <memory>

namespace Vexilo {

// A short confirmation that clears itself after a fixed time. Showing a new one restarts the full
// time, so a later message is never cut short by the timer of an earlier one.
class FeedbackMessage
{
public:
    // onChange runs whenever the text changes, including when it clears.
    FeedbackMessage(Clock &clock, int durationMs, std::function<void()> onChange);

    void show(const QString &text);
    void clear();
    [[nodiscard]] const QString &text() const { return m_text; }
    [[nodiscard]] bool isShown() const { return !m_text.isEmpty(); }

private:
    void setText(const QString &text);

    int m_durationMs;
    std::function<void()> m_onChange;
    std::unique_ptr<Alarm> m_alarm;
    QString m_text;
};

} // namespace Vexilo
