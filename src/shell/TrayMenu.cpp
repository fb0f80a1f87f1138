// SPDX-License-Identifier: MIT
#include "TrayMenu.h"

#include "AppCommands.h"
#include "ClipboardStore.h"

#include <QMenu>

namespace Vexilo {

TrayMenu::TrayMenu(AppCommands &commands, ClipboardStore &store, QObject *parent)
    : QObject(parent)
    , m_menu(std::make_unique<QMenu>())
{
    QMenu &menu = *m_menu;
    menu.setObjectName(QStringLiteral("trayMenu"));
    const auto add = [&menu, &commands](const QString &title, void (AppCommands::*run)(),
                                        const QKeySequence &shortcut = {}) {
        QAction *action = menu.addAction(title, &commands, run);
        // Shown as a hint; the windows run the keys themselves, the tray has no keyboard focus.
        action->setShortcut(shortcut);
        action->setShortcutContext(Qt::WidgetShortcut);
        return action;
    };
    add(QStringLiteral("About Vexilo"), &AppCommands::about);
    add(QStringLiteral("Check for Updates..."), &AppCommands::checkForUpdates);
    menu.addSeparator();
    add(QStringLiteral("Preferences..."), &AppCommands::preferences, QKeySequence(QStringLiteral("Ctrl+,")));
    menu.addSeparator();
    add(QStringLiteral("New Snippet"), &AppCommands::newSnippet, QKeySequence(QStringLiteral("Ctrl+N")));
    menu.addSeparator();
    add(QStringLiteral("Export History as JSON..."), &AppCommands::exportJson);
    add(QStringLiteral("Export History as Markdown..."), &AppCommands::exportMarkdown);
    menu.addSeparator();
    QAction *close = menu.addAction(QStringLiteral("Close Window"), &commands, [&commands] { commands.closeWindow(); });
    close->setShortcut(QKeySequence(QStringLiteral("Ctrl+W")));
    close->setShortcutContext(Qt::WidgetShortcut);
    menu.addSeparator();
    add(QStringLiteral("Find in Clips..."), &AppCommands::findInClips, QKeySequence(QStringLiteral("Ctrl+F")));
    menu.addSeparator();
    add(QStringLiteral("Clear Unpinned History..."), &AppCommands::clearUnpinnedHistory,
        QKeySequence(QStringLiteral("Ctrl+Shift+Del")));
    add(QStringLiteral("Clear All History..."), &AppCommands::clearAllHistory);
    menu.addSeparator();
    add(QStringLiteral("Toggle Inspector Pane"), &AppCommands::toggleInspector, QKeySequence(QStringLiteral("Ctrl+I")));
    m_pause = add(AppCommands::pauseTitle(store.isPaused()), &AppCommands::togglePause,
                  QKeySequence(QStringLiteral("Ctrl+Alt+P")));
    m_pause->setObjectName(QStringLiteral("pauseAction"));
    connect(&store, &ClipboardStore::isPausedChanged, this,
            [this, &store] { m_pause->setText(AppCommands::pauseTitle(store.isPaused())); });
    menu.addSeparator();
    add(QStringLiteral("Toggle Vexilo HUD Window"), &AppCommands::toggleHud);
    menu.addSeparator();
    add(QStringLiteral("Vexilo Help && Shortcuts Guide"), &AppCommands::openHelp);
    menu.addSeparator();
    add(QStringLiteral("Quit Vexilo"), &AppCommands::quit);
}

TrayMenu::~TrayMenu() = default;

} // namespace Vexilo
