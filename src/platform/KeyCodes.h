// SPDX-License-Identifier: MIT
#pragma once

#include <QtGlobal>

// The logical key codes and modifier bits the input logic speaks, whatever the backend: the virtual
// key codes and flags of the platform the design comes from. Backends translate to their own.
namespace Vexilo::KeyCodes {

inline constexpr quint16 V = 9;
inline constexpr quint16 Space = 49;
inline constexpr quint16 Return = 36;
inline constexpr quint16 Tab = 48;
inline constexpr quint16 Delete = 51; // backspace
inline constexpr quint16 Escape = 53;
inline constexpr quint16 Home = 115;
inline constexpr quint16 PageUp = 116;
inline constexpr quint16 ForwardDelete = 117;
inline constexpr quint16 End = 119;
inline constexpr quint16 PageDown = 121;
inline constexpr quint16 LeftArrow = 123;
inline constexpr quint16 RightArrow = 124;
inline constexpr quint16 DownArrow = 125;
inline constexpr quint16 UpArrow = 126;
// Digits 1 to 9 on the main row, in order.
inline constexpr quint16 Digits[9] = {18, 19, 20, 21, 23, 22, 26, 28, 25};
// Digits 1 to 9 on the keypad.
inline constexpr quint16 KeypadDigits[9] = {83, 84, 85, 86, 87, 88, 89, 91, 92};
// Keys the backends have no logical code for.
inline constexpr quint16 Unknown = 0xFFFF;

// Event modifier flags.
inline constexpr quint64 ShiftFlag = 0x20000;
inline constexpr quint64 ControlFlag = 0x40000;
inline constexpr quint64 OptionFlag = 0x80000;
inline constexpr quint64 CommandFlag = 0x100000;

// Hotkey modifier masks. Command is the Control key and Option the Alt key on Linux.
inline constexpr quint32 CommandModifier = 0x100;
inline constexpr quint32 OptionModifier = 0x800;

} // namespace Vexilo::KeyCodes
