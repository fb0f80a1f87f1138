// SPDX-License-Identifier: MIT
#pragma once

#include "ClipItem.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace Vexilo {

class ClipboardStore;

// Exit codes of the command-line client.
enum ExitCode : int {
    ExitOk = 0,
    ExitUsage = 1, // bad command line: message and usage on standard error
    ExitBadInput = 2, // unknown or ambiguous id, unreadable file, unknown mode
    ExitNoResult = 3, // nothing recorded or no result, with the reason on standard error
    ExitLocked = 4, // the history is owned by another process
};

struct CommandOutput
{
    int exitCode = ExitOk;
    QString out; // the result, for standard output
    QString err; // messages, for standard error
};

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

    // Whether the command reads its text from standard input.
    [[nodiscard]] static bool readsStandardInput(const QStringList &arguments);
    [[nodiscard]] static QString usage();
    [[nodiscard]] static QString commandUsage(const QString &command);
    [[nodiscard]] static bool isCommand(const QString &name);
    // Commands only the running application can carry out (toggle, pause, status...).
    [[nodiscard]] static bool isApplicationCommand(const QString &name);

private:
    ClipboardStore &m_store;
};

} // namespace Vexilo
