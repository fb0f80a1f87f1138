// SPDX-License-Identifier: MIT
#pragma once

#include <QStringList>

namespace Vexilo::CommandLine {

struct Options
{
    QString dataDirectory; // empty: the user's storage folder
    QStringList command; // the command and its arguments; empty: start the application
    bool help = false;
    bool version = false;
    QString error; // a usage error
};

// Splits the client's own options (before the command) from the command.
[[nodiscard]] Options parse(const QStringList &arguments);

} // namespace Vexilo::CommandLine
