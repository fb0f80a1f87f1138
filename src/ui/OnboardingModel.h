// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QtQml/qqmlregistration.h>

namespace Vexilo {

class AccessibilityPermission;
class ClipboardStore;
class GlobalHotkeyManager;

// The first-run card: which hotkey opens the history (and whether the desktop let us have it),
// whether pasting into other applications is possible, and whether the card has been completed.
class OnboardingModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Provided by the application")
    Q_PROPERTY(QString hotkeyLabel READ hotkeyLabel NOTIFY hotkeyChanged)
    Q_PROPERTY(bool hotkeyRegistered READ hotkeyRegistered NOTIFY hotkeyChanged)
    // The hotkey row's detail line: the hotkey, or why it does not work and what to do instead.
    Q_PROPERTY(QString hotkeyDetail READ hotkeyDetail NOTIFY hotkeyChanged)
    Q_PROPERTY(bool hasAccessibility READ hasAccessibility NOTIFY hasAccessibilityChanged)
    Q_PROPERTY(QString accessibilityDetail READ accessibilityDetail NOTIFY hasAccessibilityChanged)
    // False where there is nothing the user could enable (pasting works, the desktop forbids the rest).
    Q_PROPERTY(bool canRequestAccessibility READ canRequestAccessibility NOTIFY hasAccessibilityChanged)
    Q_PROPERTY(bool isCompleted READ isCompleted NOTIFY isCompletedChanged)

public:
    OnboardingModel(GlobalHotkeyManager &hotkeys, AccessibilityPermission &permission, ClipboardStore &store,
                    QObject *parent = nullptr);

    [[nodiscard]] QString hotkeyLabel() const;
    [[nodiscard]] bool hotkeyRegistered() const;
    [[nodiscard]] QString hotkeyDetail() const;
    [[nodiscard]] bool hasAccessibility() const { return m_hasAccessibility; }
    [[nodiscard]] QString accessibilityDetail() const;
    [[nodiscard]] bool canRequestAccessibility() const;
    [[nodiscard]] bool isCompleted() const;

    // The card appeared: read the permission now; it is not watched while the card stays up.
    Q_INVOKABLE void refresh();
    Q_INVOKABLE void requestAccess();
    Q_INVOKABLE void complete();
    // The window appeared: someone who already has a history is no first-time user. True when this
    // completed the onboarding.
    Q_INVOKABLE bool completeIfHistoryExists();
    // Both of the above, as the window appears: the card shows when it is not completed.
    Q_INVOKABLE void windowShown();

Q_SIGNALS:
    void hotkeyChanged();
    void hasAccessibilityChanged();
    void isCompletedChanged();

private:
    GlobalHotkeyManager &m_hotkeys;
    AccessibilityPermission &m_permission;
    ClipboardStore &m_store;
    bool m_hasAccessibility = false;
};

} // namespace Vexilo
