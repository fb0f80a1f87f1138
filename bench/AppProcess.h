// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>

// The application binary as the benchmarks run it: a world of its own in a temporary folder, talked to
// through the command-line client.
namespace Vexilo::Bench {

// Runs the event loop until `done` holds or the time is up.
bool spinUntil(const std::function<bool()> &done, int timeoutMs);
// Resident memory of another process, from /proc/<pid>/status, in MB.
[[nodiscard]] double residentMegabytes(qint64 pid);
// User plus system CPU time of a process, in seconds.
[[nodiscard]] double cpuSeconds(qint64 pid);

class AppProcess
{
public:
    // `display` holds the session's variables; `extra` is applied last, so it may override the
    // platform (xcb unless told otherwise).
    explicit AppProcess(const QProcessEnvironment &display, const QProcessEnvironment &extra = {});
    ~AppProcess();

    [[nodiscard]] QString historyFile() const;
    [[nodiscard]] qint64 pid() const { return m_app.processId(); }
    [[nodiscard]] const QProcessEnvironment &environment() const { return m_env; }

    // Starts it and waits until it answers `vexilo status`.
    bool start();
    void quit();
    // Runs `vexilo ARGUMENTS` against it; the exit code, or -1 when it did not finish.
    int command(const QStringList &arguments, QByteArray *output = nullptr);
    // The application's standard output lines so far that start with `prefix`, each with the prefix
    // removed; taken out of the buffer.
    QList<QByteArray> takeLines(const QByteArray &prefix);

private:
    QTemporaryDir m_root;
    QProcessEnvironment m_env;
    QProcess m_app;
    QByteArray m_output;
};

} // namespace Vexilo::Bench
