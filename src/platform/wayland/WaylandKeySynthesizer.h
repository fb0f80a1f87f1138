// SPDX-License-Identifier: MIT
#pragma once

#include "KeySynthesizer.h"
#include "WaylandConnection.h"

#include <QHash>
#include <QMutex>
#include <memory>

struct xkb_context;
struct xkb_keymap;
struct xkb_state;
struct zwp_virtual_keyboard_manager_v1;
struct zwp_virtual_keyboard_v1;

namespace Vexilo {

// Synthetic keys through a virtual keyboard (zwp_virtual_keyboard_manager_v1), which wlroots
// compositors offer. The keyboard is given the layout of the session (xkbcommon's defaults, which
// honour the XKB_DEFAULT_* variables), so keys are found by the symbol they type. Keeps a
// connection of its own and may be used from any one thread at a time.
class WaylandKeySynthesizer : public KeySynthesizer
{
public:
    // Null when there is no Wayland display; without the protocol it exists but is unavailable.
    [[nodiscard]] static std::unique_ptr<WaylandKeySynthesizer> create(LogSink log = {},
                                                                       const QString &displayName = {});
    ~WaylandKeySynthesizer() override;
    WaylandKeySynthesizer(const WaylandKeySynthesizer &) = delete;
    WaylandKeySynthesizer &operator=(const WaylandKeySynthesizer &) = delete;

    [[nodiscard]] bool isAvailable() const override;
    // The compositor keeps the physical keyboard to itself; nothing can be known about it.
    [[nodiscard]] bool modifiersHeld() const override { return false; }
    void postKey(quint16 keyCode, quint64 modifierFlags, bool down) override;
    [[nodiscard]] QString unavailableReason() const override { return m_problem; }

private:
    explicit WaylandKeySynthesizer(std::unique_ptr<WaylandConnection> connection);
    bool setUpKeyboard();
    [[nodiscard]] quint32 keycodeForKeysym(quint32 keysym) const;
    void sendKeyLocked(quint32 keycode, bool down);

    mutable QMutex m_mutex;
    std::unique_ptr<WaylandConnection> m_connection;
    zwp_virtual_keyboard_manager_v1 *m_manager = nullptr;
    zwp_virtual_keyboard_v1 *m_keyboard = nullptr;
    xkb_context *m_context = nullptr;
    xkb_keymap *m_keymap = nullptr;
    xkb_state *m_state = nullptr;
    QHash<quint32, quint32> m_keycodes; // keysym -> XKB keycode, on the first level of the first layout
    QString m_problem;
};

} // namespace Vexilo
