// SPDX-License-Identifier: MIT
#pragma once

#include "Clock.h"

#include <QIcon>
#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QObject;
class QQuickItem;
class QQuickWindow;

namespace Vexilo {

class AlertPresenter;
class AppSettings;
class ClipboardStore;
class DesktopAppearance;
class FloatingOverlayWindowController;
class MenuBarPopoverController;
class SettingsWindowController;

// The application's windows in this process (the history window, the tray popover and the
// preferences window), built as the application builds them, around a store on a folder of its own
// and in-memory doubles of the platform: nothing is pasted, registered with the desktop or written
// to the clipboard. For the screenshots and the window benchmarks.
class WindowRig
{
public:
    struct Options
    {
        // Holds the settings and the "Vexilo" storage folder; a history written there beforehand is
        // loaded.
        QString rootFolder;
        Clock *clock = nullptr; // the system clock when null
        int undoWindowMs = 5000;
        // The icon of a source application; the desktop's icon theme when not given.
        std::function<std::optional<QIcon>(const QString &bundleId)> applicationIcon;
        // Answers the preferences window's questions; when null every question is cancelled.
        AlertPresenter *alerts = nullptr;
    };

    explicit WindowRig(const Options &options);
    ~WindowRig();
    WindowRig(const WindowRig &) = delete;
    WindowRig &operator=(const WindowRig &) = delete;

    [[nodiscard]] static QString storageDirectory(const QString &rootFolder);

    [[nodiscard]] ClipboardStore &store();
    [[nodiscard]] AppSettings &settings();
    [[nodiscard]] DesktopAppearance &appearance();
    [[nodiscard]] FloatingOverlayWindowController &windows();
    [[nodiscard]] MenuBarPopoverController &popover();
    [[nodiscard]] SettingsWindowController &settingsWindow();
    // Null until shown.
    [[nodiscard]] QQuickWindow *window() const;
    // One of the scene's view models ("main", "detail", "snippets", ...), null before the first show.
    [[nodiscard]] QObject *viewModel(const char *name) const;

    // Shows the window and waits for its first frame; false when the scene could not be built or
    // nothing was drawn within the time.
    bool show(int timeoutMs = 20000);
    void hide();
    // Runs the event loop for at least minimumMs, then until no image is loading (thumbnails, the
    // detail image), at most timeoutMs in all. False when something was still loading.
    bool settle(int minimumMs = 400, int timeoutMs = 8000);

    // Each shows its window and waits for its first frame; false when it could not be built or
    // nothing was drawn within the time.
    bool showPopover(const QRect &anchor, int timeoutMs = 20000);
    bool openSettings(int timeoutMs = 20000);
    // As on Wayland: keys can be sent but not watched, so snippets do not expand.
    void setKeyWatchingAvailable(bool available);

    // The objects of the scene made from the QML type `typeName` (a view file's name such as
    // "DetailFooter"), or C++ items by their class name ("QQuickListView"); in the history window
    // unless another window is given.
    [[nodiscard]] QList<QObject *> findByType(const char *typeName, QQuickWindow *in = nullptr) const;
    // The item or object named `objectName` in a window or under an item.
    [[nodiscard]] static QObject *findByName(QObject *root, const QString &objectName);

private:
    struct Services;
    std::unique_ptr<Services> m_services;
};

// Runs the event loop until `done` holds; false when the time ran out first.
bool spinUntil(const std::function<bool()> &done, int timeoutMs);
void spinFor(int ms);

} // namespace Vexilo
