// SPDX-License-Identifier: MIT
#include "OnboardingModel.h"

#include "AccessibilityPermission.h"
#include "AppSettings.h"
#include "AppStorageKeys.h"
#include "ClipboardStore.h"
#include "GlobalHotkeyManager.h"

#include <algorithm>

namespace Vexilo {

OnboardingModel::OnboardingModel(GlobalHotkeyManager &hotkeys, AccessibilityPermission &permission,
                                 ClipboardStore &store, QObject *parent)
    : QObject(parent)
    , m_hotkeys(hotkeys)
    , m_permission(permission)
    , m_store(store)
{
    connect(&m_hotkeys, &GlobalHotkeyManager::currentHotkeyChanged, this, &OnboardingModel::hotkeyChanged);
    connect(&m_hotkeys, &GlobalHotkeyManager::registrationChanged, this, &OnboardingModel::hotkeyChanged);
    connect(m_store.settings(), &AppSettings::valueChanged, this, [this](const QString &key) {
        if (key == AppStorageKeys::hasCompletedOnboarding)
            Q_EMIT isCompletedChanged();
    });
}

QString OnboardingModel::hotkeyLabel() const
{
    return GlobalHotkeyOptions::displayLabel(m_hotkeys.currentHotkey());
}

bool OnboardingModel::hotkeyRegistered() const
{
    // Nothing registered without an error means the hotkeys were released on purpose (shutting down).
    const HotkeyRegistrationStatus status = m_hotkeys.status();
    return status.hudRegistered || status.hudError == 0;
}

QString OnboardingModel::hotkeyDetail() const
{
    const HotkeyRegistrationStatus status = m_hotkeys.status();
    const QString label = GlobalHotkeyOptions::displayLabel(status.hudHotkey);
    if (status.hudRegistered || status.hudError == 0)
        return label;
    // A negative status: this desktop gives no global hotkeys at all (Wayland, no display).
    if (status.hudError < 0)
        return label +
            QStringLiteral(" is not available on this desktop; bind \u201cvexilo toggle\u201d to a key "
                           "in the desktop's keyboard settings");
    const auto other = std::find_if(GlobalHotkeyOptions::allCases.begin(), GlobalHotkeyOptions::allCases.end(),
                                    [&](GlobalHotkeyOption option) { return option != status.hudHotkey; });
    return label + QStringLiteral(" is taken by another application; choose ") +
        GlobalHotkeyOptions::displayLabel(*other) + QStringLiteral(" in Preferences");
}

QString OnboardingModel::accessibilityDetail() const
{
    if (m_hasAccessibility)
        return QStringLiteral("Enabled for auto-paste and snippet expansion");
    // Nothing to enable where the desktop itself withholds key watching (Wayland).
    if (m_permission.canPaste())
        return QStringLiteral("Auto-paste works; snippet expansion is not available: ") + m_permission.snippetProblem();
    return QStringLiteral("Required for auto-paste and snippet shortcuts");
}

bool OnboardingModel::canRequestAccessibility() const
{
    return !m_hasAccessibility && !m_permission.canPaste();
}

bool OnboardingModel::isCompleted() const
{
    return m_store.settings()->boolValue(AppStorageKeys::hasCompletedOnboarding, false);
}

void OnboardingModel::refresh()
{
    const bool trusted = m_permission.isTrusted();
    if (trusted == m_hasAccessibility)
        return;
    m_hasAccessibility = trusted;
    Q_EMIT hasAccessibilityChanged();
}

void OnboardingModel::requestAccess()
{
    m_permission.requestAccess();
}

void OnboardingModel::complete()
{
    if (!isCompleted())
        m_store.settings()->setValue(AppStorageKeys::hasCompletedOnboarding, true);
}

bool OnboardingModel::completeIfHistoryExists()
{
    if (isCompleted())
        return false;
    // The default snippets are seeded on the very first start, so only captured clips count as history.
    const QList<ClipItem> &items = m_store.items();
    if (std::none_of(items.begin(), items.end(), [](const ClipItem &item) { return !item.isSnippet(); }))
        return false;
    complete();
    return true;
}

void OnboardingModel::windowShown()
{
    if (!completeIfHistoryExists() && !isCompleted())
        refresh();
}

} // namespace Vexilo
