// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <functional>
#include <optional>

namespace Vexilo {

// Asks the user where to save a PNG file. The application shows the desktop's file chooser; tests
// answer with a path of their own, or nothing for a cancelled dialog.
class SaveFileChooser
{
public:
    virtual ~SaveFileChooser() = default;
    using Answer = std::function<void(const std::optional<QString> &path)>;
    // Calls answer once, later or at once, with the chosen path (nothing when cancelled).
    virtual void choosePngLocation(const QString &suggestedName, Answer answer) = 0;
};

} // namespace Vexilo
