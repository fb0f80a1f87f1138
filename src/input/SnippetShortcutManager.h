// SPDX-License-Identifier: MIT
#pragma once

#include "ClipItem.h"

#include <QObject>
#include <QStringList>

namespace Vexilo {

class ClipboardStore;
class KeyEventSource;
class PasteService;
class Workspace;
struct KeyEvent;

// Makes snippet shortcuts work in every application: keeps the last characters typed elsewhere and,
// when they end with a snippet's shortcut, erases the shortcut and pastes the snippet's text.
class SnippetShortcutManager : public QObject
{
    Q_OBJECT

public:
    SnippetShortcutManager(KeyEventSource *keyEvents, ClipboardStore *store, PasteService *paste, Workspace *workspace,
                           QObject *parent = nullptr);

    // Starts watching the keys typed elsewhere; false when the desktop offers no way to do so.
    bool start();
    // Stops watching and forgets what was typed.
    void stop();
    [[nodiscard]] bool isWatching() const { return bool(m_monitor); }

    // The most recent typed characters, at most `bufferLimit` of them.
    [[nodiscard]] QString typedBuffer() const { return m_typedBuffer.join(QString()); }
    // True from the start of an expansion until its paste keystroke has been sent; the keys seen
    // meanwhile are our own Backspaces and paste, or the user's, and none of them may match.
    [[nodiscard]] bool isInjecting() const { return m_injecting; }

    static constexpr int bufferLimit = 32;
    static constexpr int expansionStepMs = 30;

private:
    void handleKeyDown(const KeyEvent &event);
    [[nodiscard]] bool isExcludedOrSelfActive() const;
    void expand(const ClipItem &snippet, int shortcutLength);

    KeyEventSource *m_keyEvents;
    ClipboardStore *m_store;
    PasteService *m_paste;
    Workspace *m_workspace;
    QMetaObject::Connection m_monitor;
    // One entry per user-perceived character.
    QStringList m_typedBuffer;
    bool m_injecting = false;
};

} // namespace Vexilo
