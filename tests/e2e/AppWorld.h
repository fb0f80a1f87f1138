// SPDX-License-Identifier: MIT
#pragma once

#include "ClipItem.h"
#include "XSession.h"

#include <QProcess>
#include <QTemporaryDir>
#include <memory>

namespace Vexilo::Test {

// One user's world for end-to-end tests: a private X session, private configuration, data and
// runtime folders, and the real `vexilo` application running in it.
class AppWorld
{
public:
    struct Result
    {
        int exitCode = -1;
        QString out;
        QString err;
    };

    AppWorld();
    ~AppWorld();

    // Extra environment for the application and the client, set before starting them.
    void setEnvironmentVariable(const QString &name, const QString &value) { m_extra.insert(name, value); }

    // Starts the X session once; for tests that run something in it before the application.
    bool startSession();
    // Starts the X session (once) and the application; false when either does not come up.
    bool startApplication();
    // Asks the application to quit and waits for it; false if it had to be killed.
    bool quitApplication();
    void killApplication();
    [[nodiscard]] bool applicationRunning() const;
    [[nodiscard]] qint64 applicationPid() const { return m_app ? m_app->processId() : 0; }

    // Runs `vexilo ARGS` in this world (it reaches the running application when there is one).
    Result vexilo(const QStringList &arguments, const QByteArray &input = {}) const;

    // Copies data in this world's X session, the way an application does (with xclip), as the given
    // clipboard type; text by default.
    void copy(const QByteArray &data, const QString &type = {});
    [[nodiscard]] static std::function<bool(const ClipItem &)> textIs(const QString &text)
    {
        return [text](const ClipItem &item) { return item.textContent() == text; };
    }

    // Starts the test target window and waits until it is the active window.
    bool startTarget();
    [[nodiscard]] QString targetText() const;
    void stopTarget();

    [[nodiscard]] XSession &session() { return m_session; }
    [[nodiscard]] QString storageDirectory() const { return m_root.path() + QStringLiteral("/data/Vexilo"); }
    [[nodiscard]] QString settingsFile() const { return m_root.path() + QStringLiteral("/config/Vexilo/Vexilo.ini"); }
    [[nodiscard]] QString rootPath() const { return m_root.path(); }
    [[nodiscard]] QProcessEnvironment environment() const;
    [[nodiscard]] QList<ClipItem> historyFile() const;
    [[nodiscard]] QString applicationOutput();

    // Waits (bounded) until the history file holds a clip satisfying `test`.
    bool waitForSavedClip(const std::function<bool(const ClipItem &)> &test, int timeoutMs = 10000) const;
    // Waits (bounded) until `vexilo list --json` shows a clip satisfying `test`; returns it.
    std::optional<ClipItem> waitForListedClip(const std::function<bool(const ClipItem &)> &test,
                                              int timeoutMs = 10000) const;

private:
    QTemporaryDir m_root;
    XSession m_session;
    bool m_sessionStarted = false;
    std::unique_ptr<QProcess> m_app;
    std::unique_ptr<QProcess> m_target;
    QString m_output;
    QProcessEnvironment m_extra;
};

} // namespace Vexilo::Test
