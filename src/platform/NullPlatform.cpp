// SPDX-License-Identifier: MIT
#include "NullPlatform.h"

namespace Vexilo {

void NullKeySynthesizer::postKey(quint16 keyCode, quint64 modifierFlags, bool down)
{
    Q_UNUSED(keyCode)
    Q_UNUSED(modifierFlags)
    Q_UNUSED(down)
}

int NullHotkeyService::registerHotkey(quint32 id, quint32 keyCode, quint32 modifiers)
{
    Q_UNUSED(id)
    Q_UNUSED(keyCode)
    Q_UNUSED(modifiers)
    return UnsupportedStatus;
}

void NullHotkeyService::unregisterHotkey(quint32 id)
{
    Q_UNUSED(id)
}

} // namespace Vexilo
