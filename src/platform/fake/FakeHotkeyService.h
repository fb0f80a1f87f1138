// SPDX-License-Identifier: MIT
#pragma once

#include "HotkeyService.h"

#include <QMap>
#include <QStringList>

namespace Vexilo {

// Records hotkey registrations. Tests can make ids fail as if another program held their keys, and
// press registered hotkeys.
class FakeHotkeyService : public HotkeyService
{
    Q_OBJECT

public:
    struct Registration
    {
        quint32 keyCode = 0;
        quint32 modifiers = 0;
        friend bool operator==(const Registration &, const Registration &) = default;
    };

    using HotkeyService::HotkeyService;

    // Registering `id` fails with `status` from now on (a non-zero status).
    void refuse(quint32 id, int status);
    void accept(quint32 id) { m_refused.remove(id); }
    // The user presses the keys of a registered hotkey; unregistered ids are not delivered.
    void press(quint32 id);

    [[nodiscard]] const QMap<quint32, Registration> &registrations() const { return m_registrations; }
    [[nodiscard]] bool isRegistered(quint32 id) const { return m_registrations.contains(id); }
    // "register <id> <key> <mods hex>" and "unregister <id>" in call order, refused ones included.
    [[nodiscard]] const QStringList &calls() const { return m_calls; }
    void clearCalls() { m_calls.clear(); }

    int registerHotkey(quint32 id, quint32 keyCode, quint32 modifiers) override;
    void unregisterHotkey(quint32 id) override;

private:
    QMap<quint32, Registration> m_registrations;
    QMap<quint32, int> m_refused;
    QStringList m_calls;
};

} // namespace Vexilo
