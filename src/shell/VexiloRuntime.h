// SPDX-License-Identifier: MIT
#pragma once

#include <functional>

namespace Vexilo {

class ClipboardKeyboardController;
class ClipboardMonitor;
class ClipboardStore;
class FocusRestoration;
class GlobalHotkeyManager;
class LaunchAtLoginManager;
class SnippetShortcutManager;

// Starts and stops the background services in their fixed order. Both are idempotent; stopping ends
// with the synchronous save of the history.
class VexiloRuntime
{
public:
    struct Services
    {
        FocusRestoration *focus = nullptr;
        ClipboardMonitor *monitor = nullptr;
        GlobalHotkeyManager *hotkeys = nullptr;
        SnippetShortcutManager *snippets = nullptr;
        LaunchAtLoginManager *launchAtLogin = nullptr;
        ClipboardStore *store = nullptr;
        // Called once, two seconds after start; the update check hangs here.
        std::function<void()> afterStart;
        ClipboardKeyboardController *keyboard = nullptr; // optional: no window to drive
    };

    static constexpr double pollInterval = 0.4;

    explicit VexiloRuntime(Services services);

    void startServices();
    void stopServices();
    [[nodiscard]] bool servicesStarted() const { return m_servicesStarted; }

private:
    Services m_services;
    bool m_servicesStarted = false;
};

} // namespace Vexilo
