// SPDX-License-Identifier: MIT
#pragma once

#include <QStringList>

namespace Vexilo::CommandLine {

struct Options
{
    QString dataDirectory; // empty: the user's storage folder
    QStringList command; // the command and its arguments; empty: start the application
    bool help = false;
    QString error; // a usage error
};

// Splits the client's own options (before the command) from the command.
[[nodiscard]] Options parse(const QStringList &arguments);

// The `vexilo` command-line client: runs one command, through the running application when there is
// one, otherwise on the store in its folder; returns the exit code. The version is the running
// program's, for the update check.
int run(const Options &options, const QString &shortVersion, qint64 build);

} // namespace Vexilo::CommandLine
