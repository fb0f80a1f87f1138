// SPDX-License-Identifier: MIT
#pragma once

#include "LogSink.h"

namespace Vexilo {

class LoginItem;

// Registers or unregisters the application to start at login, touching the login item only when its
// state differs or an enabled item is out of date.
class LaunchAtLoginManager
{
public:
    LaunchAtLoginManager(LoginItem &loginItem, LogSink log);
    void setEnabled(bool enabled);

private:
    LoginItem &m_loginItem;
    LogSink m_log;
};

} // namespace Vexilo
