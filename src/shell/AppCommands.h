// SPDX-License-Identifier: MIT
#pragma once

#include "ClipType.h"

#include <QObject>
#include <QUrl>
#include <functional>

namespace Vexilo {

class AlertPresenter;
class ClipboardStore;
class HistoryExporter;
class WindowController;

// The application's commands, as the tray menu and the windows' shortcuts run them.
class AppCommands : public QObject
{
    Q_OBJECT

public:
    struct Dependencies
    {
        ClipboardStore *store = nullptr; // required
        WindowController *hud = nullptr; // required
        HistoryExporter *exporter = nullptr; // required
        AlertPresenter *alerts = nullptr; // required
        std::function<void()> openSettings;
        std::function<void()> closeSettings;
        std::function<void()> showAbout;
        // A user-initiated update check, unless one is running.
        std::function<void()> checkForUpdates;
        std::function<void(const QUrl &)> openUrl;
        std::function<void()> quit;
    };

    static inline const QUrl helpUrl = QUrl(QStringLiteral("https://vexilo.app/help#shortcuts"));

    explicit AppCommands(Dependencies dependencies, QObject *parent = nullptr);

    [[nodiscard]] static QString pauseTitle(bool paused);

    void about();
    void checkForUpdates();
    void preferences();
    void newSnippet();
    void exportJson();
    void exportMarkdown();
    // Closes the history window, and the preferences window when that is where the keys went.
    void closeWindow(bool fromPreferences = false);
    void findInClips();
    void clearUnpinnedHistory();
    void clearAllHistory();
    void toggleInspector();
    void selectCategory(ClipType category);
    void togglePause();
    void toggleHud();
    void openHelp();
    void quit();

private:
    Dependencies m_deps;
};

} // namespace Vexilo
