// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArrayView>

namespace Vexilo::Utf8 {

// Strict validation: no overlong forms, no surrogates, nothing above U+10FFFF.
[[nodiscard]] bool isValid(QByteArrayView bytes);
[[nodiscard]] bool isAscii(QByteArrayView bytes);

} // namespace Vexilo::Utf8
