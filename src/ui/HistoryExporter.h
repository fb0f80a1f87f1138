// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <optional>

#include <QString>

namespace Vexilo {

class ClipboardStore;
class SaveFileChooser;

// Exports the whole history to a file the user chooses in a save dialog.
class HistoryExporter
{
public:
    // The saved file; nothing when the user cancelled or when writing failed (then `failed`, and the
    // store has logged why).
    using Done = std::function<void(const std::optional<QString> &savedPath, bool failed)>;

    HistoryExporter(ClipboardStore &store, SaveFileChooser &chooser, std::function<qint64()> unixSeconds);

    // Each asks for the destination with its default file name, writes the file and calls done.
    void exportAsJSON(Done done = {});
    void exportAsMarkdown(Done done = {});

private:
    ClipboardStore &m_store;
    SaveFileChooser &m_chooser;
    std::function<qint64()> m_unixSeconds;
};

} // namespace Vexilo
