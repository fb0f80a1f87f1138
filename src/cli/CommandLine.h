// SPDX-License-Identifier: MIT
#pragma once
#include <QStringList>
namespace Vexilo::CommandLine {
int run(const QStringList &arguments);
}
