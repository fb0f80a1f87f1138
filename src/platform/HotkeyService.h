// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

namespace Vexilo {

// System-wide hotkeys that work whichever window is in front.
class HotkeyService : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // Registers a key (logical code) with hotkey modifiers (KeyCodes::CommandModifier, OptionModifier)
    // under `id`. Returns 0 on success, otherwise an error status (another program holds the keys).
    virtual int registerHotkey(quint32 id, quint32 keyCode, quint32 modifiers) = 0;
    virtual void unregisterHotkey(quint32 id) = 0;
    // False where the desktop gives no application global hotkeys (Wayland).
    [[nodiscard]] virtual bool isAvailable() const { return true; }

Q_SIGNALS:
    // Delivered on the main thread.
    void hotkeyPressed(quint32 id);
};

} // namespace Vexilo
