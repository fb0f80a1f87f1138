// SPDX-License-Identifier: MIT
#include "GlobalHotkeyManager.h"

#include "AppSettings.h"
#include "AppStorageKeys.h"
#include "ClipboardStore.h"
#include "HotkeyService.h"
#include "KeyCodes.h"
#include "PasteService.h"
#include "WindowController.h"

namespace Vexilo {

namespace {
constexpr quint32 slotModifiers = KeyCodes::CommandModifier | KeyCodes::OptionModifier;
constexpr int slotLimit = 10;
} // namespace

GlobalHotkeyManager::GlobalHotkeyManager(HotkeyService *service, ClipboardStore *store, PasteService *paste,
                                         WindowController *windows, AppSettings *settings, LogSink log, QObject *parent)
    : QObject(parent)
    , m_service(service)
    , m_store(store)
    , m_paste(paste)
    , m_windows(windows)
    , m_settings(settings)
    , m_log(std::move(log))
{
    Q_ASSERT(m_service && m_store && m_paste && m_windows && m_settings);
    const QString stored = m_settings->stringValue(AppStorageKeys::globalHotkeyOption, QString());
    m_currentHotkey = GlobalHotkeyOptions::fromRawValue(stored).value_or(GlobalHotkeyOptions::defaultOption);
    applyCurrentHotkey();
}

// Setting the same option again registers again, which retries keys another program held.
void GlobalHotkeyManager::setCurrentHotkey(GlobalHotkeyOption option)
{
    const bool changed = option != m_currentHotkey;
    m_currentHotkey = option;
    applyCurrentHotkey();
    if (changed)
        Q_EMIT currentHotkeyChanged();
}

void GlobalHotkeyManager::start()
{
    if (!m_handler) {
        // Presses are acted on after the service's delivery returns, as the platform expects.
        m_handler = connect(m_service, &HotkeyService::hotkeyPressed, this, &GlobalHotkeyManager::handlePressed,
                            Qt::QueuedConnection);
    }
    registerHotkey();
}

void GlobalHotkeyManager::stop()
{
    unregisterHotkey();
    if (m_handler) {
        disconnect(m_handler);
        m_handler = {};
    }
}

HotkeyRegistrationStatus GlobalHotkeyManager::status() const
{
    HotkeyRegistrationStatus status;
    status.hudHotkey = m_currentHotkey;
    status.hudRegistered = m_hudRegistered;
    status.hudError = m_hudError;
    for (const quint32 id : m_registeredSlotIds)
        status.registeredSlots.append(int(id) - 10);
    return status;
}

void GlobalHotkeyManager::applyCurrentHotkey()
{
    registerHotkey();
    m_settings->setValue(AppStorageKeys::globalHotkeyOption, GlobalHotkeyOptions::rawValue(m_currentHotkey));
}

void GlobalHotkeyManager::registerHotkey()
{
    unregisterHotkey();

    // Without global hotkeys (Wayland) there is nothing to fail at; status and settings say so.
    if (!m_service->isAvailable()) {
        m_hudError = -1;
        Q_EMIT registrationChanged();
        return;
    }
    const QString raw = GlobalHotkeyOptions::rawValue(m_currentHotkey);
    const int status = m_service->registerHotkey(hudHotkeyId, GlobalHotkeyOptions::keyCode(m_currentHotkey),
                                                 GlobalHotkeyOptions::modifiers(m_currentHotkey));
    m_hudRegistered = status == 0;
    m_hudError = status;
    if (m_hudRegistered)
        m_log(QStringLiteral("Vexilo: Registered global hotkey ") + raw);
    else
        m_log(QStringLiteral("Vexilo: Failed to register hotkey ") + raw + QStringLiteral(", error: ") +
              QString::number(status));

    // A slot whose keys another program holds is left out without a word.
    for (const Slot &slot : slotHotkeys) {
        if (m_service->registerHotkey(slot.id, slot.keyCode, slotModifiers) == 0)
            m_registeredSlotIds.append(slot.id);
    }
    Q_EMIT registrationChanged();
}

void GlobalHotkeyManager::unregisterHotkey()
{
    const bool held = m_hudRegistered || !m_registeredSlotIds.isEmpty();
    if (m_hudRegistered) {
        m_service->unregisterHotkey(hudHotkeyId);
        m_hudRegistered = false;
    }
    for (const quint32 id : std::as_const(m_registeredSlotIds))
        m_service->unregisterHotkey(id);
    m_registeredSlotIds.clear();
    if (held)
        Q_EMIT registrationChanged();
}

void GlobalHotkeyManager::handlePressed(quint32 id)
{
    if (id == hudHotkeyId) {
        m_windows->toggleHud();
        return;
    }
    if (id < slotHotkeys[0].id || id > slotHotkeys[8].id)
        return;
    pasteSlot(int(id - 10));
}

bool GlobalHotkeyManager::pasteSlot(int slot)
{
    if (slot < 1 || slot > 9)
        return false;
    const QList<ClipItem> clips = m_store->items(QString(), ClipType::All, slotLimit, false);
    if (clips.size() < slot)
        return false;
    m_paste->pasteItem(clips.at(slot - 1));
    return true;
}

} // namespace Vexilo
