// SPDX-License-Identifier: MIT
#pragma once

#include "LogSink.h"
#include "UpdatePrompt.h"

namespace Vexilo {

// Update alerts of an application without windows: written to the log and left unanswered.
class LogUpdatePrompt : public UpdatePrompt
{
public:
    explicit LogUpdatePrompt(LogSink log);
    void showAlert(const QString &title, const QString &message, const QStringList &buttons,
                   std::function<void(int)> done) override;

private:
    LogSink m_log;
};

} // namespace Vexilo
