// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <memory>

class QAction;
class QMenu;

namespace Vexilo {

class AppCommands;
class ClipboardStore;

// The tray icon's menu: every command of the application in groups, with the shortcuts that run
// them in the history and preferences windows. The pause item follows the store.
class TrayMenu : public QObject
{
    Q_OBJECT

public:
    TrayMenu(AppCommands &commands, ClipboardStore &store, QObject *parent = nullptr);
    ~TrayMenu() override;

    [[nodiscard]] QMenu *menu() const { return m_menu.get(); }

private:
    std::unique_ptr<QMenu> m_menu;
    QAction *m_pause = nullptr;
};

} // namespace Vexilo
