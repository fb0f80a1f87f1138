// SPDX-License-Identifier: MIT
#pragma once

#include "LogSink.h"

#include <QIcon>
#include <QObject>
#include <QRect>
#include <functional>
#include <memory>

class QMenu;
class QSystemTrayIcon;

namespace Vexilo {

class ClipboardStore;

// Vexilo's icon in the system tray: the logo (faded while paused) with the pinned count as a badge,
// a tooltip with the state, the commands as its menu, and a click that opens the popover.
// StatusNotifierItem where a watcher runs, XEmbed otherwise; without any tray the application goes
// on without it.
class TrayIcon : public QObject
{
    Q_OBJECT

public:
    struct Dependencies
    {
        ClipboardStore *store = nullptr; // required
        QMenu *menu = nullptr; // the context menu; kept by the caller
        // A left click, with the icon's place on screen (empty when the tray does not tell).
        std::function<void(const QRect &iconGeometry)> activated;
        // A middle click.
        std::function<void()> secondaryActivated;
        LogSink log = standardOutputLog();
        // What opens the history when there is no tray, for the log line.
        QString openHint = QStringLiteral("Alt+Space or \"vexilo toggle\"");
    };

    explicit TrayIcon(Dependencies dependencies, QObject *parent = nullptr);
    ~TrayIcon() override;

    // Shows the icon, or logs once that there is no tray.
    void show();
    // Which kind of tray holds the icon, for the status report.
    [[nodiscard]] QString hostDescription() const;
    [[nodiscard]] QRect geometry() const;

    // The icon at one size: the logo, faded while paused, and a badge with the pinned count (from 1).
    [[nodiscard]] static QImage iconImage(int size, bool paused, int pinnedCount);
    [[nodiscard]] static QString toolTip(bool paused, int pinnedCount);

private:
    void refresh();

    Dependencies m_deps;
    std::unique_ptr<QSystemTrayIcon> m_icon;
    bool m_paused = false;
    int m_pinned = -1;
};

} // namespace Vexilo
