// SPDX-License-Identifier: MIT
#pragma once

#include "ClipItem.h"
#include "FeedbackSound.h"

#include <QObject>
#include <QThreadPool>
#include <functional>
#include <optional>

namespace Vexilo {

class AccessibilityPermission;
class ClipboardMonitor;
class ClipboardStore;
class FocusRestoration;
class KeySynthesizer;
class Pasteboard;
class WindowController;
class Workspace;

// Puts clips back: writes a clip to the clipboard, and pastes it into the application that was in
// front before the user summoned the history, by hiding, bringing that application back and sending
// Ctrl+V. Also sends the Backspaces that erase a typed snippet shortcut.
class PasteService : public QObject
{
    Q_OBJECT

public:
    struct Dependencies
    {
        ClipboardStore *store = nullptr;
        Pasteboard *pasteboard = nullptr;
        ClipboardMonitor *monitor = nullptr;
        Workspace *workspace = nullptr;
        KeySynthesizer *keys = nullptr;
        AccessibilityPermission *permission = nullptr;
        FocusRestoration *focus = nullptr;
        WindowController *windows = nullptr;
        std::function<void(FeedbackSound)> playSound; // optional: silent
    };

    using Completion = std::function<void()>;

    explicit PasteService(const Dependencies &dependencies, QObject *parent = nullptr);
    // Waits for keystrokes still being sent.
    ~PasteService() override;

    void copyToPasteboard(const ClipItem &item, const std::optional<QString> &customText = std::nullopt);
    void copyPlainText(const QString &text);
    void pasteItem(const ClipItem &item, const std::optional<QString> &customText = std::nullopt);

    // Keystrokes are sent on a background thread; the completion then runs on this object's thread.
    // Without the permission to send keys, nothing is sent and the completion runs at once on the
    // caller's thread.
    void simulatePasteKeystroke(Completion completion = {});
    void simulateBackspaces(int count, Completion completion = {});

    // Delays, in milliseconds.
    static constexpr int pasteDelayMs = 180;
    static constexpr int pasteKeyHoldMs = 20;
    static constexpr int backspaceIntervalMs = 12;
    static constexpr int modifierPollMs = 10;
    // How long the paste waits for the user to let go of the hotkey's modifiers before sending
    // Ctrl+V anyway.
    void setModifierReleaseTimeout(int ms) { m_modifierReleaseTimeoutMs = ms; }

private:
    void finishOnOwnThread(Completion completion);

    Dependencies m_deps;
    QThreadPool m_keystrokes;
    int m_modifierReleaseTimeoutMs = 1000;
};

} // namespace Vexilo
