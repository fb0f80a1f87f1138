// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <functional>
#include <optional>

namespace Vexilo {

// What a save dialog offers: the file name it suggests and the kind of file it is limited to.
struct SaveRequest
{
    QString suggestedName;
    QString nameFilter; // e.g. "JSON files (*.json)"; empty offers every file
    QString defaultSuffix; // added when the user types a name without one; may be empty
    QString folder; // where the dialog opens; empty for the documents folder
};

// Asks the user where to save a file. The application shows the desktop's file chooser; tests
// answer with a path of their own, or nothing for a cancelled dialog.
class SaveFileChooser
{
public:
    virtual ~SaveFileChooser() = default;
    using Answer = std::function<void(const std::optional<QString> &path)>;
    // Calls answer once, later or at once, with the chosen path (nothing when cancelled).
    virtual void chooseSaveLocation(const SaveRequest &request, Answer answer) = 0;

    // A PNG image, offered in the pictures folder.
    void choosePngLocation(const QString &suggestedName, Answer answer);
};

} // namespace Vexilo
