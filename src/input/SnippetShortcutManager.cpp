// SPDX-License-Identifier: MIT
#include "SnippetShortcutManager.h"

#include "ClipboardStore.h"
#include "KeyCodes.h"
#include "KeyEventSource.h"
#include "PasteService.h"
#include "Workspace.h"

#include <QPointer>
#include <QTextBoundaryFinder>
#include <QTimer>

namespace Vexilo {

namespace {

QStringList graphemes(const QString &text)
{
    QStringList result;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype start = 0;
    while (finder.toNextBoundary() != -1) {
        result.append(text.mid(start, finder.position() - start));
        start = finder.position();
    }
    return result;
}

bool endsWith(const QStringList &buffer, const QStringList &suffix)
{
    if (suffix.size() > buffer.size())
        return false;
    const qsizetype offset = buffer.size() - suffix.size();
    for (qsizetype i = 0; i < suffix.size(); ++i) {
        if (buffer.at(offset + i) != suffix.at(i))
            return false;
    }
    return true;
}

// Navigation keys type nothing here, but where the key codes come from they type one private-use
// character, so an arrow press between two halves of a shortcut keeps it from matching.
std::optional<QString> typedCharacters(const KeyEvent &event)
{
    if (event.charactersIgnoringModifiers)
        return event.charactersIgnoringModifiers;
    char16_t functionKey = 0;
    switch (event.keyCode) {
    case KeyCodes::UpArrow:
        functionKey = 0xF700;
        break;
    case KeyCodes::DownArrow:
        functionKey = 0xF701;
        break;
    case KeyCodes::LeftArrow:
        functionKey = 0xF702;
        break;
    case KeyCodes::RightArrow:
        functionKey = 0xF703;
        break;
    case KeyCodes::Home:
        functionKey = 0xF729;
        break;
    case KeyCodes::End:
        functionKey = 0xF72B;
        break;
    case KeyCodes::PageUp:
        functionKey = 0xF72C;
        break;
    case KeyCodes::PageDown:
        functionKey = 0xF72D;
        break;
    default:
        return std::nullopt;
    }
    return QString(QChar(functionKey));
}

} // namespace

SnippetShortcutManager::SnippetShortcutManager(KeyEventSource *keyEvents, ClipboardStore *store, PasteService *paste,
                                               Workspace *workspace, QObject *parent)
    : QObject(parent)
    , m_keyEvents(keyEvents)
    , m_store(store)
    , m_paste(paste)
    , m_workspace(workspace)
{
    Q_ASSERT(m_keyEvents && m_store && m_paste && m_workspace);
}

bool SnippetShortcutManager::start()
{
    if (m_monitor)
        return true;
    if (!m_keyEvents->isRunning() && !m_keyEvents->start())
        return false;
    m_monitor = connect(m_keyEvents, &KeyEventSource::keyDown, this, &SnippetShortcutManager::handleKeyDown);
    return true;
}

void SnippetShortcutManager::stop()
{
    if (m_monitor) {
        disconnect(m_monitor);
        m_monitor = {};
        m_keyEvents->stop();
    }
    m_typedBuffer.clear();
}

void SnippetShortcutManager::handleKeyDown(const KeyEvent &event)
{
    if (m_injecting)
        return;
    if (!m_store->snippetExpansionEnabled())
        return;
    if (isExcludedOrSelfActive()) {
        m_typedBuffer.clear();
        return;
    }
    if (event.keyCode == KeyCodes::Delete || event.keyCode == KeyCodes::ForwardDelete) {
        if (!m_typedBuffer.isEmpty())
            m_typedBuffer.removeLast();
        return;
    }
    const std::optional<QString> characters = typedCharacters(event);
    if (!characters)
        return;
    const QStringList typed = graphemes(*characters);
    if (typed.size() != 1)
        return;
    if (event.modifierFlags & (KeyCodes::CommandFlag | KeyCodes::ControlFlag))
        return;

    m_typedBuffer.append(typed.first());
    if (m_typedBuffer.size() > bufferLimit)
        m_typedBuffer.remove(0, m_typedBuffer.size() - bufferLimit);

    for (const ClipItem &snippet : m_store->snippets()) {
        if (!snippet.hasSnippetShortcut())
            continue;
        const QString shortcut = snippet.snippetShortcut().trimmed();
        if (shortcut.isEmpty())
            continue;
        const QStringList shortcutCharacters = graphemes(shortcut);
        if (endsWith(m_typedBuffer, shortcutCharacters)) {
            expand(snippet, int(shortcutCharacters.size()));
            m_typedBuffer.clear();
            return;
        }
    }
}

bool SnippetShortcutManager::isExcludedOrSelfActive() const
{
    const std::optional<RunningApplication> frontmost = m_workspace->frontmostApplication();
    if (!frontmost || !frontmost->bundleId)
        return false;
    const QString own = m_workspace->ownBundleIdentifier();
    if (!own.isEmpty() && *frontmost->bundleId == own)
        return true;
    return m_store->ignoredAppBundleIds().contains(*frontmost->bundleId);
}

void SnippetShortcutManager::expand(const ClipItem &snippet, int shortcutLength)
{
    m_injecting = true;
    m_paste->copyToPasteboard(snippet);

    // The paste service may call back after this manager is gone.
    const QPointer<SnippetShortcutManager> self(this);
    QTimer::singleShot(expansionStepMs, this, [self, shortcutLength] {
        SnippetShortcutManager *manager = self.data();
        if (!manager)
            return;
        manager->m_paste->simulateBackspaces(shortcutLength, [self] {
            SnippetShortcutManager *current = self.data();
            if (!current)
                return;
            QTimer::singleShot(expansionStepMs, current, [self] {
                SnippetShortcutManager *later = self.data();
                if (!later)
                    return;
                later->m_paste->simulatePasteKeystroke([self] {
                    if (SnippetShortcutManager *last = self.data())
                        last->m_injecting = false;
                });
            });
        });
    });
}

} // namespace Vexilo
