// SPDX-License-Identifier: MIT
#include "ShortcutsCheatsheet.h"

#include "GlobalHotkeyManager.h"

#include <QVariantMap>

namespace Vexilo {

const QList<ShortcutsCheatsheet::Row> &ShortcutsCheatsheet::table()
{
    static const QList<Row> rows = {
        {QStringLiteral("Open clipboard HUD"), currentHotkeyPlaceholder},
        {QStringLiteral("Direct paste slot (global)"), QStringLiteral("Ctrl+Alt+1 \u2013 Ctrl+Alt+9")},
        {QStringLiteral("Paste selected"), QStringLiteral("\u21a9")},
        {QStringLiteral("Filter by category"), QStringLiteral("Ctrl+1 \u2013 Ctrl+8")},
        {QStringLiteral("Toggle inspector"), QStringLiteral("Ctrl+I")},
        {QStringLiteral("Pin / unpin"), QStringLiteral("Alt+P")},
        {QStringLiteral("Delete clip"), QStringLiteral("Ctrl+Delete")},
        {QStringLiteral("Find clips"), QStringLiteral("Ctrl+F")},
        {QStringLiteral("Preferences"), QStringLiteral("Ctrl+,")},
        {QStringLiteral("Dismiss / close QR"), QStringLiteral("Esc")},
        {QStringLiteral("Navigate list"), QStringLiteral("\u2191 \u2193")},
    };
    return rows;
}

ShortcutsCheatsheet::ShortcutsCheatsheet(GlobalHotkeyManager *hotkeys, QObject *parent)
    : QObject(parent)
    , m_hotkeys(hotkeys)
{
    if (m_hotkeys)
        connect(m_hotkeys, &GlobalHotkeyManager::currentHotkeyChanged, this, &ShortcutsCheatsheet::rowsChanged);
}

QList<ShortcutsCheatsheet::Row> ShortcutsCheatsheet::resolvedRows() const
{
    // One read of the guarded pointer: a second one could find it gone.
    const GlobalHotkeyManager *hotkeys = m_hotkeys.data();
    const QString hotkey =
        GlobalHotkeyOptions::displayLabel(hotkeys ? hotkeys->currentHotkey() : GlobalHotkeyOptions::defaultOption);
    QList<Row> rows = table();
    for (Row &row : rows) {
        if (row.keys == currentHotkeyPlaceholder)
            row.keys = hotkey;
    }
    return rows;
}

QVariantList ShortcutsCheatsheet::rows() const
{
    QVariantList list;
    for (const Row &row : resolvedRows())
        list.append(QVariantMap{{QStringLiteral("label"), row.label}, {QStringLiteral("keys"), row.keys}});
    return list;
}

} // namespace Vexilo
