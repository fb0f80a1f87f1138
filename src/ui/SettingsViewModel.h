// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QStringList>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>
#include <functional>

namespace Vexilo {

class AccessibilityPermission;
class AlertPresenter;
class ClipboardStore;
class GlobalHotkeyManager;
class HistoryExporter;

// The preferences window: its sections, the choices each picker offers, and every setting read and
// written through the store or the service that owns it. The window keeps nothing of its own but the
// outcome of the last export.
class SettingsViewModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Provided by the application")
    // {id, title, icon} in sidebar order.
    Q_PROPERTY(QVariantList sections READ sections CONSTANT)
    // Each picker's choices as {label, value}.
    Q_PROPERTY(QVariantList recentItemsOptions READ recentItemsOptions CONSTANT)
    Q_PROPERTY(QVariantList historyLimitOptions READ historyLimitOptions CONSTANT)
    Q_PROPERTY(QVariantList autoClearOptions READ autoClearOptions CONSTANT)
    Q_PROPERTY(QVariantList listDensityOptions READ listDensityOptions CONSTANT)
    Q_PROPERTY(QVariantList maxVisibleTabsOptions READ maxVisibleTabsOptions CONSTANT)
    Q_PROPERTY(QVariantList hotkeyOptions READ hotkeyOptions CONSTANT)

    Q_PROPERTY(int menuBarPopoverItemCount READ menuBarPopoverItemCount WRITE setMenuBarPopoverItemCount NOTIFY
                   settingsChanged)
    Q_PROPERTY(int maxHistoryLimit READ maxHistoryLimit WRITE setMaxHistoryLimit NOTIFY settingsChanged)
    Q_PROPERTY(int autoClearDays READ autoClearDays WRITE setAutoClearDays NOTIFY settingsChanged)
    Q_PROPERTY(bool autoPasteOnSelect READ autoPasteOnSelect WRITE setAutoPasteOnSelect NOTIFY settingsChanged)
    Q_PROPERTY(bool playSounds READ playSounds WRITE setPlaySounds NOTIFY settingsChanged)
    Q_PROPERTY(bool autoExtractOCR READ autoExtractOCR WRITE setAutoExtractOCR NOTIFY settingsChanged)
    // "comfortable" or "compact"; an unknown stored value reads as "comfortable".
    Q_PROPERTY(QString listDensity READ listDensity WRITE setListDensity NOTIFY settingsChanged)
    Q_PROPERTY(int maxVisibleTabs READ maxVisibleTabs WRITE setMaxVisibleTabs NOTIFY settingsChanged)
    Q_PROPERTY(bool launchAtLogin READ launchAtLogin WRITE setLaunchAtLogin NOTIFY settingsChanged)
    Q_PROPERTY(bool snippetExpansionEnabled READ snippetExpansionEnabled WRITE setSnippetExpansionEnabled NOTIFY
                   settingsChanged)

    // The stored value of the HUD hotkey ("⌥ + Space", "⌥ + V"), the value of hotkeyOptions.
    Q_PROPERTY(QString currentHotkey READ currentHotkey WRITE setCurrentHotkey NOTIFY hotkeyChanged)
    // Why the chosen hotkey does not work; empty while it does.
    Q_PROPERTY(QString hotkeyProblem READ hotkeyProblem NOTIFY hotkeyChanged)

    Q_PROPERTY(bool keyboardAccessGranted READ keyboardAccessGranted NOTIFY keyboardAccessChanged)
    Q_PROPERTY(QString keyboardAccessStatus READ keyboardAccessStatus NOTIFY keyboardAccessChanged)
    Q_PROPERTY(QString keyboardAccessDetail READ keyboardAccessDetail NOTIFY keyboardAccessChanged)
    // Whether the desktop lets typed shortcuts be watched at all, and the subtitle of that switch.
    Q_PROPERTY(bool snippetExpansionAvailable READ snippetExpansionAvailable NOTIFY keyboardAccessChanged)
    Q_PROPERTY(QString snippetExpansionNote READ snippetExpansionNote NOTIFY keyboardAccessChanged)

    // Sorted ascending.
    Q_PROPERTY(QStringList excludedApplications READ excludedApplications NOTIFY excludedApplicationsChanged)

    // The outcome of the last export that was not cancelled; empty before any.
    Q_PROPERTY(QString exportStatus READ exportStatus NOTIFY exportStatusChanged)
    Q_PROPERTY(bool exportFailed READ exportFailed NOTIFY exportStatusChanged)

    Q_PROPERTY(QString versionText READ versionText CONSTANT)
    Q_PROPERTY(QString storageNote READ storageNote CONSTANT)

public:
    struct Dependencies
    {
        ClipboardStore *store = nullptr; // required: every setting is read and written through it
        GlobalHotkeyManager *hotkeys = nullptr; // required
        AccessibilityPermission *permission = nullptr; // required
        HistoryExporter *exporter = nullptr; // required
        AlertPresenter *alerts = nullptr; // required: the clear-history confirmation
        std::function<void(bool)> setLaunchAtLogin;
        std::function<void()> checkForUpdates; // user-initiated
        std::function<QStringList()> runningApplicationIds;
        QString versionText; // "Version 1.0.0 (1)"
        QString storageFolder;
    };

    static inline const QString exportFailedText = QStringLiteral("Export failed: the file could not be written.");

    explicit SettingsViewModel(Dependencies dependencies, QObject *parent = nullptr);

    [[nodiscard]] static QVariantList sections();
    [[nodiscard]] static QVariantList recentItemsOptions();
    [[nodiscard]] static QVariantList historyLimitOptions();
    [[nodiscard]] static QVariantList autoClearOptions();
    [[nodiscard]] static QVariantList listDensityOptions();
    [[nodiscard]] static QVariantList maxVisibleTabsOptions();
    [[nodiscard]] static QVariantList hotkeyOptions();

    [[nodiscard]] int menuBarPopoverItemCount() const;
    void setMenuBarPopoverItemCount(int value);
    [[nodiscard]] int maxHistoryLimit() const;
    void setMaxHistoryLimit(int value);
    [[nodiscard]] int autoClearDays() const;
    void setAutoClearDays(int value);
    [[nodiscard]] bool autoPasteOnSelect() const;
    void setAutoPasteOnSelect(bool value);
    [[nodiscard]] bool playSounds() const;
    void setPlaySounds(bool value);
    [[nodiscard]] bool autoExtractOCR() const;
    void setAutoExtractOCR(bool value);
    [[nodiscard]] QString listDensity() const;
    void setListDensity(const QString &value);
    [[nodiscard]] int maxVisibleTabs() const;
    void setMaxVisibleTabs(int value);
    [[nodiscard]] bool launchAtLogin() const;
    // Stores the choice and registers or removes the login item at once.
    void setLaunchAtLogin(bool value);
    [[nodiscard]] bool snippetExpansionEnabled() const;
    void setSnippetExpansionEnabled(bool value);

    [[nodiscard]] QString currentHotkey() const;
    void setCurrentHotkey(const QString &rawValue);
    [[nodiscard]] QString hotkeyProblem() const;

    [[nodiscard]] bool keyboardAccessGranted() const { return m_keyboardAccessGranted; }
    [[nodiscard]] QString keyboardAccessStatus() const;
    [[nodiscard]] QString keyboardAccessDetail() const;
    [[nodiscard]] bool snippetExpansionAvailable() const;
    [[nodiscard]] QString snippetExpansionNote() const;

    [[nodiscard]] QStringList excludedApplications() const;
    // Whether addExcluded would take the text (it is not blank).
    Q_INVOKABLE [[nodiscard]] bool canAddExcluded(const QString &text) const;
    // Adds the trimmed text; false for blank text. An identifier already excluded stays as it is.
    Q_INVOKABLE bool addExcluded(const QString &text);
    Q_INVOKABLE void removeExcluded(const QString &id);
    // The identifiers of the windows open now, sorted, without those already excluded.
    Q_INVOKABLE [[nodiscard]] QStringList runningApplications() const;

    [[nodiscard]] QString exportStatus() const { return m_exportStatus; }
    [[nodiscard]] bool exportFailed() const { return m_exportFailed; }
    Q_INVOKABLE void exportJson();
    Q_INVOKABLE void exportMarkdown();
    Q_INVOKABLE void clearExportStatus();

    Q_INVOKABLE void clearHistory();
    Q_INVOKABLE void checkForUpdates();
    Q_INVOKABLE void openKeyboardAccessHelp();
    // Reads the keyboard access again; the window calls it whenever it is shown or activated, since
    // the user may have installed what was missing meanwhile.
    Q_INVOKABLE void refresh();

    [[nodiscard]] QString versionText() const { return m_deps.versionText; }
    [[nodiscard]] QString storageNote() const;

Q_SIGNALS:
    void settingsChanged();
    void hotkeyChanged();
    void keyboardAccessChanged();
    void excludedApplicationsChanged();
    void exportStatusChanged();

private:
    void finishExport(const QString &successText, bool saved, bool failed);

    Dependencies m_deps;
    bool m_keyboardAccessGranted = false;
    bool m_canPaste = false;
    QString m_exportStatus;
    bool m_exportFailed = false;
};

} // namespace Vexilo
