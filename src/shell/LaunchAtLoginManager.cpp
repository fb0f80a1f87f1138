// SPDX-License-Identifier: MIT
#include "LaunchAtLoginManager.h"

#include "LoginItem.h"

namespace Vexilo {

LaunchAtLoginManager::LaunchAtLoginManager(LoginItem &loginItem, LogSink log)
    : m_loginItem(loginItem)
    , m_log(std::move(log))
{ }

void LaunchAtLoginManager::setEnabled(bool enabled)
{
    if (m_loginItem.isEnabled() == enabled && (!enabled || m_loginItem.isUpToDate()))
        return;
    const QString error = enabled ? m_loginItem.enable() : m_loginItem.disable();
    if (!error.isEmpty())
        m_log(QStringLiteral("Vexilo: Could not update Launch at Login: ") + error);
}

} // namespace Vexilo
