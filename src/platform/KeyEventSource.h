// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <optional>

namespace Vexilo {

// A key press in any application.
struct KeyEvent
{
    quint16 keyCode = 0; // logical code, see KeyCodes
    quint64 modifierFlags = 0; // logical flags, see KeyCodes
    // What the key types with Shift applied but not Control, Alt or Super; absent for keys that type
    // nothing.
    std::optional<QString> charactersIgnoringModifiers;
};

// Watches the keys typed in other applications. It cannot change or swallow them.
class KeyEventSource : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // False when the desktop offers no way to watch keys.
    virtual bool start() = 0;
    virtual void stop() = 0;
    [[nodiscard]] virtual bool isRunning() const = 0;
    [[nodiscard]] virtual bool isAvailable() const = 0;
    // Why keys cannot be watched, for the user; empty while they can.
    [[nodiscard]] virtual QString unavailableReason() const { return {}; }

Q_SIGNALS:
    // Delivered on the main thread.
    void keyDown(const Vexilo::KeyEvent &event);
};

} // namespace Vexilo
