// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// The running version: the short version string and the build number the build was made with.
namespace Vexilo::AppVersion {

[[nodiscard]] QString shortVersion();
[[nodiscard]] qint64 build();
// A build entry read as a decimal integer: an optional sign and digits only, within 64 bits; anything
// else (also the empty text) is 0.
[[nodiscard]] qint64 parseBuild(const QString &text);

} // namespace Vexilo::AppVersion
