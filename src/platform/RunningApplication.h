// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <optional>

namespace Vexilo {

// A running application as the desktop reports it: the window that was in front, the process that
// owns it, its display name and its identifier (the desktop-file id when one matches, otherwise the
// window class).
struct RunningApplication
{
    std::optional<QString> name;
    std::optional<QString> bundleId;
    qint64 processId = 0;
    quint64 windowId = 0; // the handle used to bring it back to the front

    friend bool operator==(const RunningApplication &, const RunningApplication &) = default;
};

} // namespace Vexilo
