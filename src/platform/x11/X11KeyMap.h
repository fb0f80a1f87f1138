// SPDX-License-Identifier: MIT
#pragma once

#include <QtGlobal>
#include <optional>
#include <vector>

// Translation between the logical key codes and flags of KeyCodes and the X11 keysyms and modifier
// masks. The Control key stands for Command and Alt for Option, as Qt does; Super stands for the
// Control key of the logical layout so that every X modifier has its own flag.
namespace Vexilo::X11KeyMap {

// Hotkey masks for Shift and Control, next to KeyCodes::CommandModifier and OptionModifier.
inline constexpr quint32 ShiftModifier = 0x200;
inline constexpr quint32 ControlModifier = 0x1000;

// The keysym a logical key types without modifiers; 0 (NoSymbol) for keys without one.
[[nodiscard]] quint32 keysymForKeyCode(quint16 keyCode);
// The logical key for a keysym, from any level of the key (so "A" and "a" give the same key);
// KeyCodes::Unknown for keysyms without one.
[[nodiscard]] quint16 keyCodeForKeysym(quint32 keysym);

// The keysyms of the modifier keys to hold for logical event flags, in the order they are pressed
// (released in the reverse one).
[[nodiscard]] std::vector<quint32> modifierKeysyms(quint64 flags);

// The logical event flags of an X modifier mask. Other bits are ignored.
[[nodiscard]] quint64 flagsForXState(quint16 state);

// Hotkey modifiers to the X modifier mask; empty when `modifiers` holds a bit without an X meaning.
[[nodiscard]] std::optional<quint16> xModifiersForHotkeyModifiers(quint32 modifiers);

} // namespace Vexilo::X11KeyMap
