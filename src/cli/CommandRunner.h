// SPDX-License-Identifier: MIT
#pragma once

#include "ClipItem.h"
#include "CommandOutput.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace Vexilo {

class ClipboardStore;

// Runs one command of the command-line client against a store, the same code whether the store
// belongs to this process or to the running application.
class CommandRunner
{
public:
    using InputReader = std::function<QString()>;

    explicit CommandRunner(ClipboardStore &store);

    // `arguments` starts with the command name. `readInput` supplies standard input when a command
    // takes its text from there. Relative file names are taken from `workingDirectory` (the caller's,
    // which is not this process's when the command comes from another one).
    CommandOutput run(const QStringList &arguments, const InputReader &readInput,
                      const QString &workingDirectory = QString());

    // The clip named by a full id in any case or a unique prefix of at least six hex digits; otherwise
    // nothing, with the message in `error`.
    [[nodiscard]] std::optional<ClipItem> findClip(const QString &idText, CommandOutput &error) const;

private:
    ClipboardStore &m_store;
};

} // namespace Vexilo
