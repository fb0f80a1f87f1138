// SPDX-License-Identifier: MIT
#pragma once

#include "XSession.h"

#include <QApplication>
#include <QTest>

#include <functional>
#include <initializer_list>

// A test main that runs the test object inside a private X session (Xvfb and openbox), with the
// xcb platform. The session is reachable from the tests through Vexilo::Test::currentXSession().
namespace Vexilo::Test {
XSession &currentXSession();

// The same program started again by a test as another X client (a window, a clipboard owner): its
// first argument names which, and everything it has to say goes to the test as lines on its
// standard output.
struct Helper
{
    const char *argument;
    int (*main)(int argc, char **argv);
};
int runInXSession(int argc, char **argv, QObject *(*makeTest)(), std::initializer_list<Helper> helpers = {});

// The test's side of a helper. Stopping it, or its end, closes the helper's standard input, which
// ends the helper.
class HelperProcess
{
public:
    HelperProcess() = default;
    ~HelperProcess() { stop(); }
    HelperProcess(const HelperProcess &) = delete;
    HelperProcess &operator=(const HelperProcess &) = delete;

    // Starts the helper in the private session and waits for its first line. Every line, the first
    // included, also goes to `onLine` as it arrives.
    bool start(const QStringList &arguments, const QProcessEnvironment &extraEnvironment = {},
               std::function<void(const QString &)> onLine = {});
    [[nodiscard]] QString firstLine() const { return m_firstLine.value_or(QString()); }
    [[nodiscard]] qint64 processId() const { return m_process.processId(); }
    void write(const QByteArray &bytes) { m_process.write(bytes); }
    void stop();

private:
    QProcess m_process;
    std::optional<QString> m_firstLine;
    std::function<void(const QString &)> m_onLine;
};

// The helper's side: a line for the test, and its event loop, which ends when the test closes the
// helper's standard input. `onLine` gets what the test writes, line by line.
void reportToTest(const QString &line);
int execUntilInputCloses(std::function<void(const QByteArray &)> onLine = {});
} // namespace Vexilo::Test
