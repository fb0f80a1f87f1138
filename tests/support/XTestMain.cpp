// SPDX-License-Identifier: MIT
#include "XTestMain.h"

#include <QSocketNotifier>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

namespace Vexilo::Test {

namespace {
XSession *session = nullptr;
constexpr int helperTimeoutMs = 10000;
} // namespace

XSession &currentXSession()
{
    Q_ASSERT(session);
    return *session;
}

int runInXSession(int argc, char **argv, QObject *(*makeTest)(), std::initializer_list<Helper> helpers)
{
    for (const Helper &helper : helpers) {
        if (argc > 1 && qstrcmp(argv[1], helper.argument) == 0)
            return helper.main(argc, argv);
    }
    XSession xsession;
    if (!xsession.start()) {
        std::fprintf(stderr, "Cannot start a private X session: %s\n", qPrintable(xsession.errorString()));
        return 1;
    }
    session = &xsession;
    qputenv("DISPLAY", xsession.display().toUtf8());
    qputenv("QT_QPA_PLATFORM", "xcb");
    qunsetenv("WAYLAND_DISPLAY");
    // There is no session bus in the test world; without this, Qt's accessibility looks for one when
    // a window is shown and the bus library leaks what it allocated.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    int result = 0;
    {
        QApplication app(argc, argv);
        std::unique_ptr<QObject> test(makeTest());
        result = QTest::qExec(test.get(), argc, argv);
    }
    session = nullptr;
    return result;
}

bool HelperProcess::start(const QStringList &arguments, const QProcessEnvironment &extraEnvironment,
                          std::function<void(const QString &)> onLine)
{
    m_onLine = std::move(onLine);
    QProcessEnvironment environment = currentXSession().environment();
    // The helper is only another client; what Qt leaves behind in it is not under test.
    environment.insert(QStringLiteral("ASAN_OPTIONS"),
                       environment.value(QStringLiteral("ASAN_OPTIONS")) + QStringLiteral(":detect_leaks=0"));
    environment.insert(extraEnvironment);
    m_process.setProcessEnvironment(environment);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QObject::connect(&m_process, &QProcess::readyReadStandardOutput, [this] {
        while (m_process.canReadLine()) {
            const QString line = QString::fromUtf8(m_process.readLine()).chopped(1);
            if (!m_firstLine)
                m_firstLine = line;
            if (m_onLine)
                m_onLine(line);
        }
    });
    m_process.start(QCoreApplication::applicationFilePath(), arguments);
    return m_process.waitForStarted(helperTimeoutMs) &&
        QTest::qWaitFor([this] { return m_firstLine.has_value(); }, helperTimeoutMs);
}

void HelperProcess::stop()
{
    // Lines that come while it stops go nowhere: whoever wanted them may be half destroyed already.
    m_onLine = nullptr;
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.closeWriteChannel();
    if (!m_process.waitForFinished(helperTimeoutMs)) {
        m_process.kill();
        m_process.waitForFinished(2000);
    }
}

void reportToTest(const QString &line)
{
    std::fputs(line.toUtf8().append('\n').constData(), stdout);
    std::fflush(stdout);
}

int execUntilInputCloses(std::function<void(const QByteArray &)> onLine)
{
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QByteArray pending;
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[256];
        const ssize_t size = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (size <= 0) {
            QCoreApplication::quit();
            return;
        }
        pending.append(buffer, size);
        for (qsizetype end; (end = pending.indexOf('\n')) >= 0; pending.remove(0, end + 1)) {
            if (onLine)
                onLine(pending.left(end));
        }
    });
    // Should the test die without closing it, longer than any test may run.
    QTimer::singleShot(300000, QCoreApplication::instance(), &QCoreApplication::quit);
    return QCoreApplication::exec();
}

} // namespace Vexilo::Test
