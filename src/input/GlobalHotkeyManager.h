// SPDX-License-Identifier: MIT
#pragma once

#include "GlobalHotkeyOption.h"
#include "LogSink.h"

#include <QList>
#include <QObject>

namespace Vexilo {

class AppSettings;
class ClipboardStore;
class HotkeyService;
class PasteService;
class WindowController;

// What the hotkeys hold right now, for the status report.
struct HotkeyRegistrationStatus
{
    GlobalHotkeyOption hudHotkey = GlobalHotkeyOptions::defaultOption;
    bool hudRegistered = false;
    int hudError = 0; // the service's status when the HUD hotkey could not be registered
    QList<int> registeredSlots; // 1 to 9, of the direct-paste hotkeys that are held
};

// System-wide hotkeys: one that shows or hides the HUD, chosen by the user, and Ctrl+Alt+1 to
// Ctrl+Alt+9, which paste the first nine clips without opening anything.
class GlobalHotkeyManager : public QObject
{
    Q_OBJECT
    Q_PROPERTY(
        Vexilo::GlobalHotkeyOption currentHotkey READ currentHotkey WRITE setCurrentHotkey NOTIFY currentHotkeyChanged)

public:
    struct Slot
    {
        quint32 id;
        quint32 keyCode;
    };
    static constexpr quint32 hudHotkeyId = 1;
    static constexpr Slot slotHotkeys[9] = {{11, 18}, {12, 19}, {13, 20}, {14, 21}, {15, 23},
                                            {16, 22}, {17, 26}, {18, 28}, {19, 25}};

    // Reads the stored choice (an unknown one becomes the default and is written back) and registers.
    GlobalHotkeyManager(HotkeyService *service, ClipboardStore *store, PasteService *paste, WindowController *windows,
                        AppSettings *settings, LogSink log = standardOutputLog(), QObject *parent = nullptr);

    [[nodiscard]] GlobalHotkeyOption currentHotkey() const { return m_currentHotkey; }
    // Registers the choice (again, when unchanged) and stores it.
    void setCurrentHotkey(GlobalHotkeyOption option);

    // Starts handling presses and registers again; stop() releases every hotkey and stops handling.
    void start();
    void stop();
    [[nodiscard]] bool isHandlingPresses() const { return bool(m_handler); }

    [[nodiscard]] HotkeyRegistrationStatus status() const;

    // Pastes what the direct-paste hotkey of `slot` (1 to 9) pastes: the slot-th newest clip, pinned
    // ones included. False when there is no such clip.
    bool pasteSlot(int slot);

Q_SIGNALS:
    void currentHotkeyChanged();
    void registrationChanged();

private:
    void applyCurrentHotkey();
    void registerHotkey();
    void unregisterHotkey();
    void handlePressed(quint32 id);

    HotkeyService *m_service;
    ClipboardStore *m_store;
    PasteService *m_paste;
    WindowController *m_windows;
    AppSettings *m_settings;
    LogSink m_log;
    GlobalHotkeyOption m_currentHotkey = GlobalHotkeyOptions::defaultOption;
    bool m_hudRegistered = false;
    int m_hudError = 0;
    QList<quint32> m_registeredSlotIds;
    QMetaObject::Connection m_handler;
};

} // namespace Vexilo
