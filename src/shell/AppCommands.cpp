// SPDX-License-Identifier: MIT
#include "AppCommands.h"

#include "ClipboardStore.h"
#include "HistoryClearing.h"
#include "HistoryExporter.h"
#include "WindowController.h"

namespace Vexilo {

AppCommands::AppCommands(Dependencies dependencies, QObject *parent)
    : QObject(parent)
    , m_deps(std::move(dependencies))
{ }

QString AppCommands::pauseTitle(bool paused)
{
    return paused ? QStringLiteral("Resume Clipboard Recording") : QStringLiteral("Pause Clipboard Recording");
}

void AppCommands::about()
{
    if (m_deps.showAbout)
        m_deps.showAbout();
}

void AppCommands::checkForUpdates()
{
    if (m_deps.checkForUpdates)
        m_deps.checkForUpdates();
}

void AppCommands::preferences()
{
    if (m_deps.openSettings)
        m_deps.openSettings();
}

void AppCommands::newSnippet()
{
    m_deps.store->setSelectedCategory(ClipType::Snippets);
    m_deps.store->setShouldOpenNewSnippet(true);
    m_deps.hud->showHud();
}

void AppCommands::exportJson()
{
    m_deps.exporter->exportAsJSON();
}

void AppCommands::exportMarkdown()
{
    m_deps.exporter->exportAsMarkdown();
}

void AppCommands::closeWindow(bool fromPreferences)
{
    m_deps.hud->hideHud();
    if (fromPreferences && m_deps.closeSettings)
        m_deps.closeSettings();
}

void AppCommands::findInClips()
{
    m_deps.hud->showHud();
    m_deps.store->requestSearchFocus();
}

void AppCommands::clearUnpinnedHistory()
{
    HistoryClearing::confirmClearUnpinned(*m_deps.alerts, *m_deps.store);
}

void AppCommands::clearAllHistory()
{
    HistoryClearing::confirmClearAll(*m_deps.alerts, *m_deps.store);
}

void AppCommands::toggleInspector()
{
    m_deps.store->requestInspectorToggle();
}

void AppCommands::selectCategory(ClipType category)
{
    m_deps.store->setSelectedCategory(category);
}

void AppCommands::togglePause()
{
    m_deps.store->setPaused(!m_deps.store->isPaused());
}

void AppCommands::toggleHud()
{
    m_deps.hud->toggleHud();
}

void AppCommands::openHelp()
{
    if (m_deps.openUrl)
        m_deps.openUrl(helpUrl);
}

void AppCommands::quit()
{
    if (m_deps.quit)
        m_deps.quit();
}

} // namespace Vexilo
