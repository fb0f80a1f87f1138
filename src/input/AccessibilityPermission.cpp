// SPDX-License-Identifier: MIT
#include "AccessibilityPermission.h"

#include "AppSettings.h"
#include "AppStorageKeys.h"
#include "KeyEventSource.h"
#include "KeySynthesizer.h"
#include "Workspace.h"

#include <QStringList>

namespace Vexilo {

AccessibilityPermission::AccessibilityPermission(KeySynthesizer *synthesizer, KeyEventSource *keyEvents,
                                                 Workspace *workspace, AppSettings *settings, LogSink log,
                                                 QObject *parent)
    : QObject(parent)
    , m_synthesizer(synthesizer)
    , m_keyEvents(keyEvents)
    , m_workspace(workspace)
    , m_settings(settings)
    , m_log(std::move(log))
{
    Q_ASSERT(m_synthesizer && m_keyEvents && m_workspace && m_settings);
}

bool AccessibilityPermission::isTrusted() const
{
    return canPaste() && canExpandSnippets();
}

bool AccessibilityPermission::canPaste() const
{
    return m_synthesizer->isAvailable();
}

bool AccessibilityPermission::canExpandSnippets() const
{
    return m_synthesizer->isAvailable() && m_keyEvents->isAvailable();
}

QString AccessibilityPermission::pasteProblem() const
{
    if (canPaste())
        return {};
    const QString reason = m_synthesizer->unavailableReason();
    return reason.isEmpty() ? QStringLiteral("keys cannot be sent") : reason;
}

QString AccessibilityPermission::snippetProblem() const
{
    if (!m_keyEvents->isAvailable()) {
        const QString reason = m_keyEvents->unavailableReason();
        return reason.isEmpty() ? QStringLiteral("keys cannot be watched") : reason;
    }
    return pasteProblem();
}

void AccessibilityPermission::requestAccess()
{
    if (isTrusted())
        return;
    if (!m_settings->boolValue(AppStorageKeys::hasShownAccessibilityPrompt, false)) {
        // The stand-in for the system's trust prompt: say once what is missing and why.
        QStringList missing;
        if (!canPaste())
            missing.append(QStringLiteral("pasting (") + pasteProblem() + u')');
        if (!canExpandSnippets())
            missing.append(QStringLiteral("snippet expansion (") + snippetProblem() + u')');
        m_log(QStringLiteral("Vexilo: Not available on this desktop: ") + missing.join(QStringLiteral(", ")));
        m_settings->setValue(AppStorageKeys::hasShownAccessibilityPrompt, true);
        return;
    }
    openSystemSettings();
}

void AccessibilityPermission::openSystemSettings()
{
    const QUrl url = settingsUrl();
    if (url.isValid())
        m_workspace->openUrl(url);
}

QUrl AccessibilityPermission::settingsUrl()
{
    return QUrl(QStringLiteral("https://www.x.org/releases/current/doc/"));
}

} // namespace Vexilo
