// SPDX-License-Identifier: MIT
#pragma once

#include <QStringView>
#include <limits>
#include <optional>

namespace Vexilo {

// An optional sign and ASCII decimal digits only, within 64 bits: no spaces, no other digits, no
// "0x", nothing after the number. For values that come from files, manifests and the command line.
[[nodiscard]] std::optional<qint64> parseStrictInteger(QStringView text);

} // namespace Vexilo
