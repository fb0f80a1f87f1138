// SPDX-License-Identifier: MIT
#include "PreferencesShortcuts.h"

#include "AppCommands.h"
#include "ClipboardKeyboardController.h"
#include "KeyCodes.h"

#include <QKeyEvent>

namespace Vexilo {

PreferencesShortcuts::PreferencesShortcuts(AppCommands &commands, QObject *parent)
    : QObject(parent)
    , m_commands(commands)
{ }

bool PreferencesShortcuts::eventFilter(QObject *, QEvent *event)
{
    if (event->type() == QEvent::KeyPress)
        return process(KeyPress::fromEvent(*static_cast<QKeyEvent *>(event)));
    return false;
}

bool PreferencesShortcuts::process(const KeyPress &key)
{
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    if (key.modifiers == (ctrl | Qt::AltModifier) && key.character == u'p') {
        m_commands.togglePause();
        return true;
    }
    if (key.modifiers == (ctrl | Qt::ShiftModifier) && key.keyCode == KeyCodes::ForwardDelete) {
        m_commands.clearUnpinnedHistory();
        return true;
    }
    if (key.modifiers != ctrl)
        return false;
    switch (key.character.unicode()) {
    case u',':
        m_commands.preferences();
        return true;
    case u'n':
        m_commands.newSnippet();
        return true;
    case u'w':
        m_commands.closeWindow(true);
        return true;
    case u'f':
        m_commands.findInClips();
        return true;
    case u'i':
        m_commands.toggleInspector();
        return true;
    default:
        return false;
    }
}

} // namespace Vexilo
