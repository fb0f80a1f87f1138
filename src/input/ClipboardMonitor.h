// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>

namespace Vexilo {

class ClipboardStore;
class Pasteboard;
class Workspace;

// The one way clips enter the history from outside: watches the clipboard's change count and hands
// each new copy that may be recorded to exactly one of the store's capture operations.
class ClipboardMonitor : public QObject
{
    Q_OBJECT

public:
    // The count current at construction counts as already seen.
    ClipboardMonitor(Pasteboard *pasteboard, Workspace *workspace, ClipboardStore *store, QObject *parent = nullptr);

    // Marker types of contents that must never be recorded (passwords, transient data), in the
    // order they are tested.
    [[nodiscard]] static const QStringList &concealedTypes();

    // Polls every `intervalSeconds` and checks at once whenever the clipboard announces a change.
    // Whatever is on the clipboard when monitoring starts is never recorded.
    void startMonitoring(double intervalSeconds);
    void stopMonitoring();
    [[nodiscard]] bool isMonitoring() const { return m_timer.isActive(); }

    // Called by every writer inside the application right after it wrote to the clipboard, so that
    // the write is not recorded as a new clip.
    void acknowledgePasteboardWrite();

    [[nodiscard]] qint64 lastChangeCount() const { return m_lastChangeCount; }

private:
    void scheduleCheck();
    void checkForChanges();

    Pasteboard *m_pasteboard;
    Workspace *m_workspace;
    ClipboardStore *m_store;
    qint64 m_lastChangeCount;
    QTimer m_timer;
    bool m_checkScheduled = false;
};

} // namespace Vexilo
