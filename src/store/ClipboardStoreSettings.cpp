// SPDX-License-Identifier: MIT
// The store's settings: views onto AppSettings, with the defaults the views need.
#include "ClipboardStore.h"

#include "AppSettings.h"
#include "AppStorageKeys.h"

namespace Vexilo {

int ClipboardStore::maxHistoryLimit() const
{
    return m_env.settings->intValue(AppStorageKeys::maxHistoryLimit, 0);
}
void ClipboardStore::setMaxHistoryLimit(int value)
{
    m_env.settings->setValue(AppStorageKeys::maxHistoryLimit, value);
}
int ClipboardStore::autoClearDays() const
{
    return m_env.settings->intValue(AppStorageKeys::autoClearDays, 0);
}
void ClipboardStore::setAutoClearDays(int value)
{
    m_env.settings->setValue(AppStorageKeys::autoClearDays, value);
}
bool ClipboardStore::playSounds() const
{
    return m_env.settings->boolValue(AppStorageKeys::playSounds, true);
}
void ClipboardStore::setPlaySounds(bool value)
{
    m_env.settings->setValue(AppStorageKeys::playSounds, value);
}
bool ClipboardStore::autoPasteOnSelect() const
{
    return m_env.settings->boolValue(AppStorageKeys::autoPasteOnSelect, true);
}
void ClipboardStore::setAutoPasteOnSelect(bool value)
{
    m_env.settings->setValue(AppStorageKeys::autoPasteOnSelect, value);
}
bool ClipboardStore::launchAtLogin() const
{
    return m_env.settings->boolValue(AppStorageKeys::launchAtLogin, true);
}
void ClipboardStore::setLaunchAtLogin(bool value)
{
    m_env.settings->setValue(AppStorageKeys::launchAtLogin, value);
}
bool ClipboardStore::autoExtractOCR() const
{
    return m_env.settings->boolValue(AppStorageKeys::autoExtractOCR, true);
}
void ClipboardStore::setAutoExtractOCR(bool value)
{
    m_env.settings->setValue(AppStorageKeys::autoExtractOCR, value);
}
int ClipboardStore::maxVisibleTabs() const
{
    return m_env.settings->intValue(AppStorageKeys::maxVisibleTabs, 5);
}
void ClipboardStore::setMaxVisibleTabs(int value)
{
    m_env.settings->setValue(AppStorageKeys::maxVisibleTabs, value);
}
int ClipboardStore::menuBarPopoverItemCount() const
{
    return m_env.settings->intValue(AppStorageKeys::menuBarPopoverItemCount, 20);
}
void ClipboardStore::setMenuBarPopoverItemCount(int value)
{
    m_env.settings->setValue(AppStorageKeys::menuBarPopoverItemCount, value);
}
QString ClipboardStore::listDensityRaw() const
{
    return m_env.settings->stringValue(AppStorageKeys::listDensity, QStringLiteral("comfortable"));
}
void ClipboardStore::setListDensityRaw(const QString &value)
{
    m_env.settings->setValue(AppStorageKeys::listDensity, value);
}
ListDensity ClipboardStore::listDensity() const
{
    return ListDensities::fromRawValue(listDensityRaw());
}
void ClipboardStore::setListDensity(ListDensity density)
{
    setListDensityRaw(ListDensities::rawValue(density));
}
bool ClipboardStore::snippetExpansionEnabled() const
{
    return m_env.settings->boolValue(AppStorageKeys::snippetExpansionEnabled, true);
}
void ClipboardStore::setSnippetExpansionEnabled(bool value)
{
    m_env.settings->setValue(AppStorageKeys::snippetExpansionEnabled, value);
}

} // namespace Vexilo
