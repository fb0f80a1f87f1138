// SPDX-License-Identifier: MIT
#include "AppStorageKeys.h"

namespace Vexilo::AppStorageKeys {

QVariantMap defaultValues()
{
    return {
        {autoPasteOnSelect, true},
        {playSounds, true},
        {maxHistoryLimit, 0},
        {autoExtractOCR, true},
        {autoClearDays, 0},
        {launchAtLogin, true},
        {maxVisibleTabs, 5},
        {hasCompletedOnboarding, false},
        {listDensity, QStringLiteral("comfortable")},
        {snippetExpansionEnabled, true},
        {menuBarPopoverItemCount, 20},
        {globalHotkeyOption, QStringLiteral("\u2325 + Space")},
    };
}

QStringList defaultIgnoredAppBundleIds()
{
    return {
        QStringLiteral("com.agilebits.onepassword7"),
        QStringLiteral("com.1password.1password"),
        QStringLiteral("com.bitwarden.desktop"),
        QStringLiteral("org.keepassxc.keepassxc"),
        QStringLiteral("com.apple.keychainaccess"),
        // The same programs on a Linux desktop, by desktop-file id and by window class.
        QStringLiteral("org.keepassxc.KeePassXC"),
        QStringLiteral("KeePassXC"),
        QStringLiteral("1password"),
        QStringLiteral("1Password"),
        QStringLiteral("bitwarden"),
        QStringLiteral("Bitwarden"),
        QStringLiteral("org.gnome.seahorse.Application"),
        QStringLiteral("org.kde.kwalletmanager5"),
    };
}

} // namespace Vexilo::AppStorageKeys
