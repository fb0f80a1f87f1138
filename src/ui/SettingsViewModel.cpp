// SPDX-License-Identifier: MIT
#include "SettingsViewModel.h"

#include "AccessibilityPermission.h"
#include "AlertPresenter.h"
#include "ClipboardStore.h"
#include "GlobalHotkeyManager.h"
#include "HistoryClearing.h"
#include "HistoryExporter.h"

#include <QPointer>
#include <QSet>

#include <initializer_list>

namespace Vexilo {

namespace {

QVariantMap option(const QString &label, const QVariant &value)
{
    return {{QStringLiteral("label"), label}, {QStringLiteral("value"), value}};
}

QVariantList counted(std::initializer_list<int> values, const QString &unit)
{
    QVariantList options;
    for (const int value : values)
        options.append(option(QString::number(value) + unit, value));
    return options;
}

} // namespace

SettingsViewModel::SettingsViewModel(Dependencies dependencies, QObject *parent)
    : QObject(parent)
    , m_deps(std::move(dependencies))
{
    Q_ASSERT(m_deps.store && m_deps.hotkeys && m_deps.permission && m_deps.exporter && m_deps.alerts);
    connect(m_deps.store, &ClipboardStore::settingsChanged, this, &SettingsViewModel::settingsChanged);
    connect(m_deps.store, &ClipboardStore::ignoredAppBundleIdsChanged, this,
            &SettingsViewModel::excludedApplicationsChanged);
    connect(m_deps.hotkeys, &GlobalHotkeyManager::currentHotkeyChanged, this, &SettingsViewModel::hotkeyChanged);
    connect(m_deps.hotkeys, &GlobalHotkeyManager::registrationChanged, this, &SettingsViewModel::hotkeyChanged);
    m_keyboardAccessGranted = m_deps.permission->isTrusted();
    m_canPaste = m_deps.permission->canPaste();
}

QVariantList SettingsViewModel::sections()
{
    const auto section = [](const char *id, const char *title, const char *icon) {
        return QVariantMap{{QStringLiteral("id"), QString::fromLatin1(id)},
                           {QStringLiteral("title"), QString::fromLatin1(title)},
                           {QStringLiteral("icon"), QString::fromLatin1(icon)}};
    };
    return {section("general", "General", "gearshape"), section("shortcuts", "Shortcuts", "command"),
            section("privacy", "Privacy", "lock.shield"), section("data", "Data", "externaldrive")};
}

QVariantList SettingsViewModel::recentItemsOptions()
{
    return counted({5, 10, 15, 20, 25, 30}, QStringLiteral(" items"));
}

QVariantList SettingsViewModel::historyLimitOptions()
{
    return QVariantList{option(QStringLiteral("Unlimited"), 0)} +
        counted({50, 100, 250, 500, 1000}, QStringLiteral(" items"));
}

QVariantList SettingsViewModel::autoClearOptions()
{
    return {option(QStringLiteral("Never"), 0), option(QStringLiteral("After 1 Day"), 1),
            option(QStringLiteral("After 7 Days"), 7), option(QStringLiteral("After 30 Days"), 30)};
}

QVariantList SettingsViewModel::listDensityOptions()
{
    QVariantList options;
    for (const ListDensity density : ListDensities::allCases)
        options.append(option(ListDensities::label(density), ListDensities::rawValue(density)));
    return options;
}

QVariantList SettingsViewModel::maxVisibleTabsOptions()
{
    return counted({3, 4, 5, 6, 7}, QStringLiteral(" tabs")) << option(QStringLiteral("All (8 tabs)"), 8);
}

QVariantList SettingsViewModel::hotkeyOptions()
{
    QVariantList options;
    for (const GlobalHotkeyOption hotkey : GlobalHotkeyOptions::allCases)
        options.append(option(GlobalHotkeyOptions::displayLabel(hotkey), GlobalHotkeyOptions::rawValue(hotkey)));
    return options;
}

int SettingsViewModel::menuBarPopoverItemCount() const
{
    return m_deps.store->menuBarPopoverItemCount();
}

void SettingsViewModel::setMenuBarPopoverItemCount(int value)
{
    m_deps.store->setMenuBarPopoverItemCount(value);
}

int SettingsViewModel::maxHistoryLimit() const
{
    return m_deps.store->maxHistoryLimit();
}

void SettingsViewModel::setMaxHistoryLimit(int value)
{
    m_deps.store->setMaxHistoryLimit(value);
}

int SettingsViewModel::autoClearDays() const
{
    return m_deps.store->autoClearDays();
}

void SettingsViewModel::setAutoClearDays(int value)
{
    m_deps.store->setAutoClearDays(value);
}

bool SettingsViewModel::autoPasteOnSelect() const
{
    return m_deps.store->autoPasteOnSelect();
}

void SettingsViewModel::setAutoPasteOnSelect(bool value)
{
    m_deps.store->setAutoPasteOnSelect(value);
}

bool SettingsViewModel::playSounds() const
{
    return m_deps.store->playSounds();
}

void SettingsViewModel::setPlaySounds(bool value)
{
    m_deps.store->setPlaySounds(value);
}

bool SettingsViewModel::autoExtractOCR() const
{
    return m_deps.store->autoExtractOCR();
}

void SettingsViewModel::setAutoExtractOCR(bool value)
{
    m_deps.store->setAutoExtractOCR(value);
}

QString SettingsViewModel::listDensity() const
{
    return ListDensities::rawValue(m_deps.store->listDensity());
}

void SettingsViewModel::setListDensity(const QString &value)
{
    m_deps.store->setListDensity(ListDensities::fromRawValue(value));
}

int SettingsViewModel::maxVisibleTabs() const
{
    return m_deps.store->maxVisibleTabs();
}

void SettingsViewModel::setMaxVisibleTabs(int value)
{
    m_deps.store->setMaxVisibleTabs(value);
}

bool SettingsViewModel::launchAtLogin() const
{
    return m_deps.store->launchAtLogin();
}

void SettingsViewModel::setLaunchAtLogin(bool value)
{
    // The login item follows the switch, not every write: a repeated value asks nothing of the desktop.
    if (value == launchAtLogin())
        return;
    m_deps.store->setLaunchAtLogin(value);
    if (m_deps.setLaunchAtLogin)
        m_deps.setLaunchAtLogin(value);
}

bool SettingsViewModel::snippetExpansionEnabled() const
{
    return m_deps.store->snippetExpansionEnabled();
}

void SettingsViewModel::setSnippetExpansionEnabled(bool value)
{
    m_deps.store->setSnippetExpansionEnabled(value);
}

QString SettingsViewModel::currentHotkey() const
{
    return GlobalHotkeyOptions::rawValue(m_deps.hotkeys->currentHotkey());
}

void SettingsViewModel::setCurrentHotkey(const QString &rawValue)
{
    // The manager registers and stores the choice; choosing the same one again retries a refused hotkey.
    if (const auto hotkey = GlobalHotkeyOptions::fromRawValue(rawValue))
        m_deps.hotkeys->setCurrentHotkey(*hotkey);
}

QString SettingsViewModel::hotkeyProblem() const
{
    const HotkeyRegistrationStatus status = m_deps.hotkeys->status();
    // Not held without an error: released on purpose, at shutdown.
    if (status.hudRegistered || status.hudError == 0)
        return {};
    const QString label = GlobalHotkeyOptions::displayLabel(status.hudHotkey);
    if (status.hudError < 0)
        return label +
            QStringLiteral(" could not be registered: this desktop offers no global hotkeys. Bind \u201cvexilo "
                           "toggle\u201d to a key in the desktop's keyboard settings.");
    return label + QStringLiteral(" could not be registered: another program holds it.");
}

QString SettingsViewModel::keyboardAccessStatus() const
{
    // Pasting alone is what a Wayland desktop can give; there is nothing more to grant.
    return m_keyboardAccessGranted ? QStringLiteral("Permission granted")
        : m_canPaste               ? QStringLiteral("Auto-paste only")
                                   : QStringLiteral("Permission required");
}

QString SettingsViewModel::keyboardAccessDetail() const
{
    if (m_keyboardAccessGranted)
        return QStringLiteral("Auto-paste and snippet expansion are enabled.");
    if (m_canPaste)
        return QStringLiteral("Auto-paste is enabled; snippet expansion is not (below).");
    return QStringLiteral("Required for auto-paste and snippet expansion.");
}

bool SettingsViewModel::snippetExpansionAvailable() const
{
    return m_keyboardAccessGranted;
}

QString SettingsViewModel::snippetExpansionNote() const
{
    if (m_keyboardAccessGranted)
        return QStringLiteral("Type shortcuts like ;reply anywhere to insert snippet text");
    QString problem = m_deps.permission->snippetProblem();
    if (!problem.isEmpty())
        problem[0] = problem[0].toUpper();
    return QStringLiteral("Snippet expansion is not available: ") + problem + u'.';
}

QStringList SettingsViewModel::excludedApplications() const
{
    const QSet<QString> &ids = m_deps.store->ignoredAppBundleIds();
    QStringList sorted(ids.cbegin(), ids.cend());
    sorted.sort();
    return sorted;
}

bool SettingsViewModel::canAddExcluded(const QString &text) const
{
    return !text.trimmed().isEmpty();
}

bool SettingsViewModel::addExcluded(const QString &text)
{
    const QString id = text.trimmed();
    if (id.isEmpty())
        return false;
    QSet<QString> ids = m_deps.store->ignoredAppBundleIds();
    if (!ids.contains(id)) {
        ids.insert(id);
        m_deps.store->setIgnoredAppBundleIds(ids);
    }
    return true;
}

void SettingsViewModel::removeExcluded(const QString &id)
{
    QSet<QString> ids = m_deps.store->ignoredAppBundleIds();
    if (ids.remove(id))
        m_deps.store->setIgnoredAppBundleIds(ids);
}

QStringList SettingsViewModel::runningApplications() const
{
    if (!m_deps.runningApplicationIds)
        return {};
    const QSet<QString> &excluded = m_deps.store->ignoredAppBundleIds();
    QSet<QString> seen;
    QStringList ids;
    for (const QString &raw : m_deps.runningApplicationIds()) {
        const QString id = raw.trimmed();
        if (!id.isEmpty() && !excluded.contains(id) && !seen.contains(id)) {
            seen.insert(id);
            ids.append(id);
        }
    }
    ids.sort();
    return ids;
}

void SettingsViewModel::exportJson()
{
    m_deps.exporter->exportAsJSON([self = QPointer(this)](const std::optional<QString> &saved, bool failed) {
        if (self)
            self->finishExport(QStringLiteral("JSON export saved."), saved.has_value(), failed);
    });
}

void SettingsViewModel::exportMarkdown()
{
    m_deps.exporter->exportAsMarkdown([self = QPointer(this)](const std::optional<QString> &saved, bool failed) {
        if (self)
            self->finishExport(QStringLiteral("Markdown export saved."), saved.has_value(), failed);
    });
}

void SettingsViewModel::finishExport(const QString &successText, bool saved, bool failed)
{
    // A cancelled dialog says nothing and leaves the last outcome standing.
    if (!saved && !failed)
        return;
    const QString text = saved ? successText : exportFailedText;
    if (text == m_exportStatus && !saved == m_exportFailed)
        return;
    m_exportStatus = text;
    m_exportFailed = !saved;
    Q_EMIT exportStatusChanged();
}

void SettingsViewModel::clearExportStatus()
{
    if (m_exportStatus.isEmpty())
        return;
    m_exportStatus.clear();
    m_exportFailed = false;
    Q_EMIT exportStatusChanged();
}

void SettingsViewModel::clearHistory()
{
    HistoryClearing::confirmClearChoice(*m_deps.alerts, *m_deps.store);
}

void SettingsViewModel::checkForUpdates()
{
    if (m_deps.checkForUpdates)
        m_deps.checkForUpdates();
}

void SettingsViewModel::openKeyboardAccessHelp()
{
    // The button is the user asking for the help page; there is no system prompt to show first.
    m_deps.permission->openSystemSettings();
}

void SettingsViewModel::refresh()
{
    const bool granted = m_deps.permission->isTrusted();
    const bool canPaste = m_deps.permission->canPaste();
    if (granted == m_keyboardAccessGranted && canPaste == m_canPaste)
        return;
    m_keyboardAccessGranted = granted;
    m_canPaste = canPaste;
    Q_EMIT keyboardAccessChanged();
}

QString SettingsViewModel::storageNote() const
{
    return QStringLiteral("History is stored locally at ") + m_deps.storageFolder + QStringLiteral(".");
}

} // namespace Vexilo
