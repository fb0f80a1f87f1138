// SPDX-License-Identifier: MIT
#pragma once

#include <QStringList>

namespace Vexilo::CommandLine {

// The `vexilo` command-line client: opens the store in its folder, runs one command through the
// store, saves, and returns the exit code.
int run(const QStringList &arguments);

} // namespace Vexilo::CommandLine
