// SPDX-License-Identifier: MIT
#pragma once

#include "CommandLineOptions.h"

namespace Vexilo::CommandLine {

// The `vexilo` command-line client: runs one command, through the running application when there is
// one, otherwise on the store in its folder; returns the exit code. The version is the running
// program's, for the update check.
int run(const Options &options, const QString &shortVersion, qint64 build);

} // namespace Vexilo::CommandLine
