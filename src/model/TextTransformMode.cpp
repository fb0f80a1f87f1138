// SPDX-License-Identifier: MIT
// PLACEHOLDER: being implemented.
#include "TextTransformMode.h"
namespace Vexilo::TextTransformModes {
QString rawValue(TextTransformMode) { return {}; }
QString iconName(TextTransformMode) { return {}; }
QString caseName(TextTransformMode) { return {}; }
std::optional<TextTransformMode> fromRawValue(QStringView) { return std::nullopt; }
std::optional<TextTransformMode> fromCaseName(QStringView) { return std::nullopt; }
std::optional<QString> transform(TextTransformMode, const QString &text) { return text; }
}
