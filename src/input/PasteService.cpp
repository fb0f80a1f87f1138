// SPDX-License-Identifier: MIT
#include "PasteService.h"

#include "AccessibilityPermission.h"
#include "ClipboardMonitor.h"
#include "ClipboardStore.h"
#include "FocusRestoration.h"
#include "KeyCodes.h"
#include "KeySynthesizer.h"
#include "Pasteboard.h"
#include "WindowController.h"
#include "Workspace.h"

#include <QDeadlineTimer>
#include <QThread>
#include <QTimer>

namespace Vexilo {

PasteService::PasteService(const Dependencies &dependencies, QObject *parent)
    : QObject(parent)
    , m_deps(dependencies)
{
    Q_ASSERT(m_deps.store && m_deps.pasteboard && m_deps.monitor && m_deps.workspace && m_deps.keys &&
             m_deps.permission && m_deps.focus && m_deps.windows);
    // One thread: the Backspaces of an expansion and its paste never interleave.
    m_keystrokes.setMaxThreadCount(1);
    m_keystrokes.setObjectName(QStringLiteral("Vexilo keystrokes"));
}

PasteService::~PasteService()
{
    m_keystrokes.waitForDone();
}

void PasteService::copyToPasteboard(const ClipItem &item, const std::optional<QString> &customText)
{
    if (m_deps.playSound)
        m_deps.playSound(FeedbackSound::Copy);
    Pasteboard &pasteboard = *m_deps.pasteboard;
    // Cleared even when nothing is written after, so a clip whose content is gone leaves nothing.
    pasteboard.clearContents();
    if (customText) {
        pasteboard.setString(*customText);
    } else if (item.type() == ClipType::File) {
        if (item.hasFilePaths())
            pasteboard.writeFileUrls(item.filePaths());
    } else if (item.type() == ClipType::Image) {
        if (item.hasImageFileName()) {
            const QImage image = m_deps.store->loadImage(item.imageFileName());
            if (!image.isNull())
                pasteboard.writeImage(image);
        }
    } else if (item.hasTextContent()) {
        pasteboard.setString(item.textContent());
    }
    m_deps.monitor->acknowledgePasteboardWrite();
}

void PasteService::copyPlainText(const QString &text)
{
    if (m_deps.playSound)
        m_deps.playSound(FeedbackSound::Copy);
    m_deps.pasteboard->clearContents();
    m_deps.pasteboard->setString(text);
    m_deps.monitor->acknowledgePasteboardWrite();
}

void PasteService::pasteItem(const ClipItem &item, const std::optional<QString> &customText)
{
    copyToPasteboard(item, customText);
    if (!m_deps.store->autoPasteOnSelect())
        return;

    m_deps.windows->dismissMainInterface();
    m_deps.windows->hideApplication();

    const std::optional<RunningApplication> target = m_deps.focus->targetApplication();
    // An application that quit since it was remembered must not have its keystroke land in
    // whatever window is in front now: the clip stays on the clipboard only.
    if (target && m_deps.workspace->isTerminated(*target))
        return;
    if (target)
        m_deps.workspace->activate(*target);

    QTimer::singleShot(pasteDelayMs, this, [this, target] {
        if (target && m_deps.workspace->isTerminated(*target))
            return;
        simulatePasteKeystroke();
    });
}

void PasteService::simulatePasteKeystroke(Completion completion)
{
    if (!m_deps.permission->canPaste()) {
        if (completion)
            completion();
        return;
    }
    KeySynthesizer *keys = m_deps.keys;
    const int timeoutMs = m_modifierReleaseTimeoutMs;
    m_keystrokes.start([this, keys, timeoutMs, completion = std::move(completion)]() mutable {
        // The hotkey that asked for the paste may still be held: Ctrl+V would arrive as Ctrl+Alt+V.
        const QDeadlineTimer deadline(timeoutMs);
        while (keys->modifiersHeld() && !deadline.hasExpired())
            QThread::msleep(modifierPollMs);
        keys->postKey(KeyCodes::V, KeyCodes::CommandFlag, true);
        QThread::msleep(pasteKeyHoldMs);
        keys->postKey(KeyCodes::V, KeyCodes::CommandFlag, false);
        finishOnOwnThread(std::move(completion));
    });
}

void PasteService::simulateBackspaces(int count, Completion completion)
{
    if (count < 1 || !m_deps.permission->canPaste()) {
        if (completion)
            completion();
        return;
    }
    KeySynthesizer *keys = m_deps.keys;
    m_keystrokes.start([this, keys, count, completion = std::move(completion)]() mutable {
        for (int i = 0; i < count; ++i) {
            keys->postKey(KeyCodes::Delete, 0, true);
            keys->postKey(KeyCodes::Delete, 0, false);
            QThread::msleep(backspaceIntervalMs);
        }
        finishOnOwnThread(std::move(completion));
    });
}

// Runs on the keystroke thread. A service destroyed meanwhile drops the completion.
void PasteService::finishOnOwnThread(Completion completion)
{
    if (completion)
        QMetaObject::invokeMethod(this, std::move(completion), Qt::QueuedConnection);
}

} // namespace Vexilo
