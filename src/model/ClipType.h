// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <array>
#include <optional>

namespace Vexilo {

// Category of a clip, and at the same time the category filter of every list.
// All and Pinned exist only as filters; no capture ever produces them.
enum class ClipType : quint8 { All, Pinned, Snippets, Text, Image, Url, Code, File };

namespace ClipTypes {
inline constexpr std::array<ClipType, 8> allCases = {ClipType::All,  ClipType::Pinned, ClipType::Snippets,
                                                     ClipType::Text, ClipType::Image,  ClipType::Url,
                                                     ClipType::Code, ClipType::File};

// The raw value is the stored JSON value and the label shown for the category ("Links", "Files").
[[nodiscard]] QString rawValue(ClipType type);
[[nodiscard]] QString iconName(ClipType type);
// Exact, case-sensitive.
[[nodiscard]] std::optional<ClipType> fromRawValue(QStringView raw);
// Case-insensitive lookup of a label, for command-line input.
[[nodiscard]] std::optional<ClipType> fromLabel(QStringView label);
} // namespace ClipTypes

} // namespace Vexilo
