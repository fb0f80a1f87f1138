// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <functional>

namespace Vexilo {

// Where diagnostic lines go: one line each, no levels. The application writes them to standard
// output; the command-line client to standard error, so its results stay alone on standard output.
using LogSink = std::function<void(const QString &line)>;

[[nodiscard]] LogSink standardOutputLog();
[[nodiscard]] LogSink standardErrorLog();

} // namespace Vexilo
