// SPDX-License-Identifier: MIT
#include "FakeHotkeyService.h"

namespace Vexilo {

void FakeHotkeyService::refuse(quint32 id, int status)
{
    Q_ASSERT(status != 0);
    m_refused.insert(id, status);
}

void FakeHotkeyService::press(quint32 id)
{
    if (m_registrations.contains(id))
        Q_EMIT hotkeyPressed(id);
}

int FakeHotkeyService::registerHotkey(quint32 id, quint32 keyCode, quint32 modifiers)
{
    m_calls.append(QStringLiteral("register %1 %2 %3").arg(id).arg(keyCode).arg(modifiers, 0, 16));
    if (const auto refused = m_refused.constFind(id); refused != m_refused.constEnd())
        return *refused;
    // Like a real grab, the same keys cannot be held twice.
    for (auto it = m_registrations.cbegin(); it != m_registrations.cend(); ++it) {
        if (it.key() != id && it->keyCode == keyCode && it->modifiers == modifiers)
            return -9878;
    }
    m_registrations.insert(id, {keyCode, modifiers});
    return 0;
}

void FakeHotkeyService::unregisterHotkey(quint32 id)
{
    m_calls.append(QStringLiteral("unregister %1").arg(id));
    m_registrations.remove(id);
}

} // namespace Vexilo
