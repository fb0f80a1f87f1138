// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace Vexilo {

// The reverse-DNS id of the application: the name of its desktop entry, AppStream component and
// autostart entry, and its Wayland app id, so that desktops tie windows, icon and menu entry together.
// Set by the build, which names the installed files after it.
inline QString applicationId()
{
    return QStringLiteral(VEXILO_APP_ID);
}

} // namespace Vexilo
