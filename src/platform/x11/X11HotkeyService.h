// SPDX-License-Identifier: MIT
#pragma once

#include "HotkeyService.h"

#include <QAbstractNativeEventFilter>
#include <QHash>
#include <QSet>

struct xcb_connection_t;

namespace Vexilo {

// Global hotkeys as passive key grabs on the root window, made on the application's own xcb
// connection so that the presses arrive through Qt's native event filters.
class X11HotkeyService
    : public HotkeyService
    , private QAbstractNativeEventFilter
{
    Q_OBJECT

public:
    // Statuses of a failed registration besides the X error code (10 when the keys are taken).
    static constexpr int NoDisplayStatus = -1;
    static constexpr int UnknownKeyStatus = -2;

    explicit X11HotkeyService(QObject *parent = nullptr);
    ~X11HotkeyService() override;

    int registerHotkey(quint32 id, quint32 keyCode, quint32 modifiers) override;
    void unregisterHotkey(quint32 id) override;

private:
    struct Grab
    {
        quint8 keycode = 0;
        quint16 modifiers = 0;
    };

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;
    [[nodiscard]] quint8 keycodeForKeysym(quint32 keysym) const;
    void ungrab(const Grab &grab);

    xcb_connection_t *m_connection = nullptr;
    quint32 m_root = 0;
    QHash<quint32, Grab> m_grabs;
    // A held hotkey fires once: auto-repeat is recognised by the key still being down, or by a
    // press with the time stamp of the release just before it.
    QSet<quint8> m_heldKeycodes;
    QHash<quint8, quint32> m_releaseTimes;
};

} // namespace Vexilo
