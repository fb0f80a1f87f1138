// SPDX-License-Identifier: MIT
#include "VexiloRuntime.h"

#include "ClipboardKeyboardController.h"
#include "ClipboardMonitor.h"
#include "ClipboardStore.h"
#include "FocusRestoration.h"
#include "GlobalHotkeyManager.h"
#include "LaunchAtLoginManager.h"
#include "SnippetShortcutManager.h"

#include <QCoreApplication>
#include <QTimer>

namespace Vexilo {

VexiloRuntime::VexiloRuntime(Services services)
    : m_services(std::move(services))
{ }

void VexiloRuntime::startServices()
{
    if (m_servicesStarted)
        return;
    m_servicesStarted = true;
    m_services.focus->start();
    m_services.monitor->startMonitoring(pollInterval);
    m_services.hotkeys->start();
    m_services.snippets->start();
    if (m_services.keyboard)
        m_services.keyboard->start(qApp);
    if (m_services.store->launchAtLogin())
        m_services.launchAtLogin->setEnabled(true);
    if (m_services.afterStart)
        QTimer::singleShot(2000, m_services.store, m_services.afterStart);
}

void VexiloRuntime::stopServices()
{
    if (!m_servicesStarted)
        return;
    m_servicesStarted = false;
    m_services.focus->stop();
    m_services.monitor->stopMonitoring();
    m_services.hotkeys->stop();
    m_services.snippets->stop();
    if (m_services.keyboard)
        m_services.keyboard->stop();
    // A deletion still inside its undo window is final now: its image file must not outlive it.
    m_services.store->dismissUndoDelete();
    m_services.store->saveHistorySynchronously();
}

} // namespace Vexilo
