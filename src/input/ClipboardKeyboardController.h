// SPDX-License-Identifier: MIT
#pragma once

#include "ClipItem.h"
#include "KeyCodes.h"
#include "LogSink.h"

#include <QChar>
#include <QObject>
#include <QPointer>
#include <functional>

class QKeyEvent;

namespace Vexilo {

class ClipboardStore;
class WindowController;

// One key press as the HUD's shortcuts see it.
struct KeyPress
{
    // Logical key code (KeyCodes); only the keys the shortcuts use are translated, others are Unknown.
    quint16 keyCode = KeyCodes::Unknown;
    // The lower-cased character the key types without modifiers; null for keys that type none.
    QChar character;
    // Only Shift, Control, Alt and Meta count.
    Qt::KeyboardModifiers modifiers;

    // Where the native scan codes are evdev-based X keycodes, digits are read from them, so that
    // they are found whatever the layout and with Shift held.
    enum class ScanCodes : quint8 { Ignore, XkbKeycodes };
    [[nodiscard]] static KeyPress fromEvent(const QKeyEvent &event, ScanCodes scanCodes);
    // Reads scan codes on the platforms that deliver XKB keycodes (X11, Wayland).
    [[nodiscard]] static KeyPress fromEvent(const QKeyEvent &event);
};

// The keyboard of the HUD: arrows move the selection, Return and digits paste, Escape backs out step
// by step, and the window's Ctrl shortcuts act on the store. It filters key presses before the
// focused item sees them and swallows the ones it handles.
class ClipboardKeyboardController : public QObject
{
    Q_OBJECT

public:
    struct Dependencies
    {
        ClipboardStore &store;
        WindowController &windows;
        // Pastes a clip as it is (PasteService::pasteItem without custom text).
        std::function<void(const ClipItem &)> paste;
        // Whether a text input other than the search field has keyboard focus. Optional: none has.
        std::function<bool()> otherTextInputFocused;
        // Opens the settings window. Optional: Ctrl+, is then left alone.
        std::function<void()> openSettings;
        LogSink log = standardOutputLog();
        // Whether a menu or popup of the window has the keyboard: it then takes every key itself
        // (Escape closes it, the arrows move in it). Optional: never.
        std::function<bool()> popupOpen;
        // Whether keys sent to this window are the history window's. Optional: every window's are.
        std::function<bool(const QObject *window)> handlesWindow;
        // Asks whether to clear the unpinned history (Ctrl+Shift+Delete). Optional: the key is left alone.
        std::function<void()> clearUnpinned;
    };

    explicit ClipboardKeyboardController(Dependencies dependencies, QObject *parent = nullptr);
    ~ClipboardKeyboardController() override;

    // Filters the key presses `target` (normally the application) delivers to its windows. Once.
    void start(QObject *target);
    void stop();
    [[nodiscard]] bool isStarted() const { return !m_target.isNull(); }

    // Performs the shortcut the key stands for; true when it was one (the key is then swallowed).
    bool process(const KeyPress &key);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool processWindowShortcut(const KeyPress &key, Qt::KeyboardModifiers modifiers);
    void moveSelection(const QList<ClipItem> &list, int direction);
    void paste(const ClipItem &clip);

    Dependencies m_deps;
    QPointer<QObject> m_target;
};

} // namespace Vexilo
