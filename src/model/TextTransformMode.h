// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <array>
#include <optional>

namespace Vexilo {

// One-click conversions of a text clip. The raw value is the button label.
enum class TextTransformMode : quint8 {
    Uppercase,
    Lowercase,
    TitleCase,
    TrimWhitespace,
    SingleLine,
    JsonEscaped,
    UrlEncoded,
    Base64Encoded,
    Base64Decoded,
};

namespace TextTransformModes {
inline constexpr std::array<TextTransformMode, 9> allCases = {
    TextTransformMode::Uppercase,      TextTransformMode::Lowercase,     TextTransformMode::TitleCase,
    TextTransformMode::TrimWhitespace, TextTransformMode::SingleLine,    TextTransformMode::JsonEscaped,
    TextTransformMode::UrlEncoded,     TextTransformMode::Base64Encoded, TextTransformMode::Base64Decoded};

[[nodiscard]] QString rawValue(TextTransformMode mode);
[[nodiscard]] QString iconName(TextTransformMode mode);
// The case name in code ("base64Decoded").
[[nodiscard]] QString caseName(TextTransformMode mode);
// Exact, case-sensitive.
[[nodiscard]] std::optional<TextTransformMode> fromRawValue(QStringView raw);
[[nodiscard]] std::optional<TextTransformMode> fromCaseName(QStringView name);

// The conversion itself. Absent only for Base64Decoded of text that is not Base64 of UTF-8.
[[nodiscard]] std::optional<QString> transform(TextTransformMode mode, const QString &text);
} // namespace TextTransformModes

} // namespace Vexilo
