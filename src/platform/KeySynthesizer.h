// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace Vexilo {

// Synthetic key presses sent to whichever window has the keyboard. Methods may be called from a
// background thread; implementations serialise their own access to the display.
class KeySynthesizer
{
public:
    virtual ~KeySynthesizer() = default;

    // Whether synthetic keys can be sent at all.
    [[nodiscard]] virtual bool isAvailable() const = 0;
    // Why keys cannot be sent, for the user; empty while they can.
    [[nodiscard]] virtual QString unavailableReason() const { return {}; }
    // Whether the user is holding a modifier key (Shift, Control, Alt, Super) right now.
    [[nodiscard]] virtual bool modifiersHeld() const = 0;
    // Presses or releases a key by its logical code, with the logical modifier flags held.
    virtual void postKey(quint16 keyCode, quint64 modifierFlags, bool down) = 0;
};

} // namespace Vexilo
