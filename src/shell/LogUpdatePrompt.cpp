// SPDX-License-Identifier: MIT
#include "LogUpdatePrompt.h"

namespace Vexilo {

LogUpdatePrompt::LogUpdatePrompt(LogSink log)
    : m_log(std::move(log))
{ }

void LogUpdatePrompt::showAlert(const QString &title, const QString &message, const QStringList &,
                                std::function<void(int)> done)
{
    QString line = message;
    line.replace(u'\n', u' ');
    m_log(QStringLiteral("Vexilo: ") + title + QStringLiteral(": ") + line);
    done(-1);
}

} // namespace Vexilo
