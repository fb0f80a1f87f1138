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
    explicit CommandRunner(ClipboardStore &store);

    // `arguments` starts with the command name; the context is the caller's (its standard input,
    // working directory and terminal width), which is not this process's when the command comes
    // from another one.
    CommandOutput run(const QStringList &arguments, const CommandContext &context);

    // The answer to a command that needs the history while the store could not read it: exit code 2
    // and one line naming the file and the reason. Nothing for any other command.
    [[nodiscard]] static std::optional<CommandOutput> refusal(const QString &command, const QString &historyProblem);

    // The clip named by a full id in any case or a unique prefix of at least six hex digits; otherwise
    // nothing, with the message in `error`.
    [[nodiscard]] std::optional<ClipItem> findClip(const QString &idText, CommandOutput &error) const;

private:
    ClipboardStore &m_store;
};

} // namespace Vexilo
