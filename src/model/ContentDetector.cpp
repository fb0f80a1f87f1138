// SPDX-License-Identifier: MIT
// PLACEHOLDER: being implemented.
#include "ContentDetector.h"
namespace Vexilo::ContentDetector {
ColorDetection detectColor(QStringView) { return {}; }
std::optional<ColorValue> nsColorFromHex(QStringView) { return std::nullopt; }
UrlDetection detectURL(QStringView) { return {}; }
CodeDetection detectCode(QStringView) { return {}; }
FilePathDetection detectFilePath(QStringView, const QString &, const QString &) { return {}; }
}
