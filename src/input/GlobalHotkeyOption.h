// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <array>
#include <optional>

namespace Vexilo {

// The choice of hotkey that shows and hides the HUD.
enum class GlobalHotkeyOption : quint8 { OptionV, OptionSpace };

namespace GlobalHotkeyOptions {
inline constexpr std::array<GlobalHotkeyOption, 2> allCases = {GlobalHotkeyOption::OptionV,
                                                               GlobalHotkeyOption::OptionSpace};
inline constexpr GlobalHotkeyOption defaultOption = GlobalHotkeyOption::OptionSpace;

// The stored identifier, "⌥ + V" or "⌥ + Space", kept as on every platform so settings travel.
[[nodiscard]] QString rawValue(GlobalHotkeyOption option);
// Exact match of a raw value.
[[nodiscard]] std::optional<GlobalHotkeyOption> fromRawValue(QStringView raw);
// What a Linux user reads: "Alt+V", "Alt+Space".
[[nodiscard]] QString displayLabel(GlobalHotkeyOption option);
// Logical key code (see KeyCodes) and hotkey modifiers of the HUD hotkey.
[[nodiscard]] quint32 keyCode(GlobalHotkeyOption option);
[[nodiscard]] quint32 modifiers(GlobalHotkeyOption option);
} // namespace GlobalHotkeyOptions

} // namespace Vexilo
