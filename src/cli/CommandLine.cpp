// SPDX-License-Identifier: MIT
#include "CommandLine.h"
namespace Vexilo::CommandLine {
int run(const QStringList &) { return 0; }
}
