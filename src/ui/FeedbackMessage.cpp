// SPDX-License-Identifier: MIT
#include "FeedbackMessage.h"

namespace Vexilo {

FeedbackMessage::FeedbackMessage(Clock &clock, int durationMs, std::function<void()> onChange)
    : m_durationMs(durationMs)
    , m_onChange(std::move(onChange))
    , m_alarm(clock.createAlarm([this] { setText({}); }))
{ }

void FeedbackMessage::show(const QString &text)
{
    m_alarm->start(m_durationMs);
    setText(text);
}

void FeedbackMessage::clear()
{
    m_alarm->stop();
    setText({});
}

void FeedbackMessage::setText(const QString &text)
{
    if (m_text == text)
        return;
    m_text = text;
    if (m_onChange)
        m_onChange();
}

} // namespace Vexilo
