// SPDX-License-Identifier: MIT
#pragma once

#include <QStringList>

// The commands of the `vexilo` client and their help, known to the front end without the store.
namespace Vexilo::CommandCatalog {

[[nodiscard]] bool isCommand(const QString &name);
// Commands only the running application can carry out (toggle, pause, status...).
[[nodiscard]] bool isApplicationCommand(const QString &name);
// Commands that read or change the history: refused while it cannot be read.
[[nodiscard]] bool usesHistory(const QString &name);
// The command list, shown after a usage error.
[[nodiscard]] QString usage();
// What --help prints: the options, the commands and the exit codes.
[[nodiscard]] QString help();
[[nodiscard]] QString commandUsage(const QString &command);
// Whether the command reads its text from standard input; `arguments` starts with the command.
[[nodiscard]] bool readsStandardInput(const QStringList &arguments);

} // namespace Vexilo::CommandCatalog
