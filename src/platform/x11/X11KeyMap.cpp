// SPDX-License-Identifier: MIT
#include "X11KeyMap.h"

#include "KeyCodes.h"

#include <X11/X.h>
#include <X11/keysym.h>

#include <array>

namespace Vexilo::X11KeyMap {

namespace {

struct KeyEntry
{
    quint16 keyCode;
    quint32 keysym;
};

// Keys known in both directions. The logical codes number the positions of an ANSI keyboard,
// hence their odd order.
constexpr auto keys = std::to_array<KeyEntry>({
    {0, XK_a},       {1, XK_s},          {2, XK_d},
    {3, XK_f},       {4, XK_h},          {5, XK_g},
    {6, XK_z},       {7, XK_x},          {8, XK_c},
    {9, XK_v},       {11, XK_b},         {12, XK_q},
    {13, XK_w},      {14, XK_e},         {15, XK_r},
    {16, XK_y},      {17, XK_t},         {18, XK_1},
    {19, XK_2},      {20, XK_3},         {21, XK_4},
    {22, XK_6},      {23, XK_5},         {24, XK_equal},
    {25, XK_9},      {26, XK_7},         {27, XK_minus},
    {28, XK_8},      {29, XK_0},         {30, XK_bracketright},
    {31, XK_o},      {32, XK_u},         {33, XK_bracketleft},
    {34, XK_i},      {35, XK_p},         {36, XK_Return},
    {37, XK_l},      {38, XK_j},         {39, XK_apostrophe},
    {40, XK_k},      {41, XK_semicolon}, {42, XK_backslash},
    {43, XK_comma},  {44, XK_slash},     {45, XK_n},
    {46, XK_m},      {47, XK_period},    {48, XK_Tab},
    {49, XK_space},  {50, XK_grave},     {51, XK_BackSpace},
    {53, XK_Escape}, {82, XK_KP_0},      {83, XK_KP_1},
    {84, XK_KP_2},   {85, XK_KP_3},      {86, XK_KP_4},
    {87, XK_KP_5},   {88, XK_KP_6},      {89, XK_KP_7},
    {91, XK_KP_8},   {92, XK_KP_9},      {115, XK_Home},
    {116, XK_Prior}, {117, XK_Delete},   {119, XK_End},
    {121, XK_Next},  {123, XK_Left},     {124, XK_Right},
    {125, XK_Down},  {126, XK_Up},
});

// Other keysyms of the same keys: the keypad without NumLock and Shift+Tab. Capital letters are
// handled by case folding.
constexpr auto aliases = std::to_array<KeyEntry>({
    {48, XK_ISO_Left_Tab},
    {82, XK_KP_Insert},
    {83, XK_KP_End},
    {84, XK_KP_Down},
    {85, XK_KP_Next},
    {86, XK_KP_Left},
    {87, XK_KP_Begin},
    {88, XK_KP_Right},
    {89, XK_KP_Home},
    {91, XK_KP_Up},
    {92, XK_KP_Prior},
});

struct ModifierEntry
{
    quint64 flag;
    quint32 hotkeyModifier;
    quint16 xMask;
};

constexpr auto modifiers = std::to_array<ModifierEntry>({
    {KeyCodes::ShiftFlag, ShiftModifier, ShiftMask},
    {KeyCodes::CommandFlag, KeyCodes::CommandModifier, ControlMask},
    {KeyCodes::OptionFlag, KeyCodes::OptionModifier, Mod1Mask},
    {KeyCodes::ControlFlag, ControlModifier, Mod4Mask},
});

} // namespace

quint32 keysymForKeyCode(quint16 keyCode)
{
    for (const KeyEntry &entry : keys) {
        if (entry.keyCode == keyCode)
            return entry.keysym;
    }
    return NoSymbol;
}

quint16 keyCodeForKeysym(quint32 keysym)
{
    if (keysym >= XK_A && keysym <= XK_Z)
        keysym += XK_a - XK_A;
    for (const KeyEntry &entry : keys) {
        if (entry.keysym == keysym)
            return entry.keyCode;
    }
    for (const KeyEntry &entry : aliases) {
        if (entry.keysym == keysym)
            return entry.keyCode;
    }
    return KeyCodes::Unknown;
}

std::vector<quint32> modifierKeysyms(quint64 flags)
{
    struct ModifierKey
    {
        quint64 flag;
        quint32 keysym;
    };
    static constexpr auto modifierKeys = std::to_array<ModifierKey>({
        {KeyCodes::CommandFlag, XK_Control_L},
        {KeyCodes::OptionFlag, XK_Alt_L},
        {KeyCodes::ControlFlag, XK_Super_L},
        {KeyCodes::ShiftFlag, XK_Shift_L},
    });
    std::vector<quint32> keysyms;
    for (const ModifierKey &modifier : modifierKeys) {
        if (flags & modifier.flag)
            keysyms.push_back(modifier.keysym);
    }
    return keysyms;
}

quint64 flagsForXState(quint16 state)
{
    quint64 flags = 0;
    for (const ModifierEntry &entry : modifiers) {
        if (state & entry.xMask)
            flags |= entry.flag;
    }
    return flags;
}

std::optional<quint16> xModifiersForHotkeyModifiers(quint32 hotkeyModifiers)
{
    quint16 mask = 0;
    for (const ModifierEntry &entry : modifiers) {
        if (hotkeyModifiers & entry.hotkeyModifier) {
            mask |= entry.xMask;
            hotkeyModifiers &= ~entry.hotkeyModifier;
        }
    }
    if (hotkeyModifiers != 0)
        return std::nullopt;
    return mask;
}

} // namespace Vexilo::X11KeyMap
