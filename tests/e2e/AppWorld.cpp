// SPDX-License-Identifier: MIT
#include "AppWorld.h"

#include "ClipJson.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QSettings>
#include <QTest>
#include <QThread>

namespace Vexilo::Test {

AppWorld::AppWorld()
{
    for (const char *folder : {"config", "data", "runtime", "home"})
        QDir().mkpath(m_root.path() + u'/' + QLatin1StringView(folder));
    QFile::setPermissions(m_root.path() + QStringLiteral("/runtime"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // The automatic update check would reach out to the internet: it ran "just now" in this world,
    // and any check goes to a closed port on this machine unless a test points it elsewhere.
    QSettings settings(settingsFile(), QSettings::IniFormat);
    settings.setValue(QStringLiteral("lastUpdateCheckDate"), QDateTime::currentDateTime());
    settings.sync();
    m_extra.insert(QStringLiteral("VEXILO_UPDATE_MANIFEST_URL"), QStringLiteral("http://127.0.0.1:9/update.json"));
}

AppWorld::~AppWorld()
{
    stopTarget();
    if (applicationRunning())
        killApplication();
    m_session.stop();
}

QProcessEnvironment AppWorld::environment() const
{
    QProcessEnvironment env = m_session.environment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_root.path() + QStringLiteral("/config"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), m_root.path() + QStringLiteral("/data"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_root.path() + QStringLiteral("/runtime"));
    env.insert(QStringLiteral("HOME"), m_root.path() + QStringLiteral("/home"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("disabled:"));
    env.insert(m_extra);
    return env;
}

bool AppWorld::startSession()
{
    if (m_sessionStarted)
        return true;
    if (!m_session.start()) {
        qWarning("%s", qPrintable(m_session.errorString()));
        return false;
    }
    m_sessionStarted = true;
    return true;
}

bool AppWorld::startApplication()
{
    if (!startSession())
        return false;
    m_app = std::make_unique<QProcess>();
    m_app->setProcessEnvironment(environment());
    m_app->setProcessChannelMode(QProcess::MergedChannels);
    m_app->start(QStringLiteral(VEXILO_BINARY), {});
    if (!m_app->waitForStarted(10000))
        return false;
    // Up once it answers a command (status says 2 when the history cannot be read).
    QDeadlineTimer deadline(20000);
    while (!deadline.hasExpired() && m_app->state() == QProcess::Running) {
        const int exitCode = vexilo({QStringLiteral("status")}).exitCode;
        if (exitCode == 0 || exitCode == 2)
            return true;
        QThread::msleep(100);
    }
    qWarning("vexilo did not come up: %s", qPrintable(applicationOutput()));
    return false;
}

QString AppWorld::applicationOutput()
{
    if (m_app)
        m_output += QString::fromUtf8(m_app->readAll());
    return m_output;
}

bool AppWorld::applicationRunning() const
{
    return m_app && m_app->state() == QProcess::Running;
}

bool AppWorld::quitApplication()
{
    if (!applicationRunning())
        return true;
    const bool answered = vexilo({QStringLiteral("quit")}).exitCode == 0;
    // The app may already have gone while the command's output was awaited.
    if (m_app->state() == QProcess::NotRunning || m_app->waitForFinished(15000))
        return answered && m_app->exitStatus() == QProcess::NormalExit && m_app->exitCode() == 0;
    killApplication();
    return false;
}

void AppWorld::killApplication()
{
    if (!m_app)
        return;
    m_app->kill();
    m_app->waitForFinished(5000);
}

AppWorld::Result AppWorld::vexilo(const QStringList &arguments, const QByteArray &input) const
{
    QProcess process;
    process.setProcessEnvironment(environment());
    process.start(QStringLiteral(VEXILO_BINARY), arguments);
    if (!process.waitForStarted(10000))
        return {};
    process.write(input);
    process.closeWriteChannel();
    // Waits with the event loop running, so servers a test runs in this process keep answering.
    if (!QTest::qWaitFor([&process] { return process.state() == QProcess::NotRunning; }, 60000)) {
        process.kill();
        process.waitForFinished(2000);
        return {};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

void AppWorld::copy(const QByteArray &data, const QString &type)
{
    QStringList arguments{QStringLiteral("-selection"), QStringLiteral("clipboard"), QStringLiteral("-i")};
    if (!type.isEmpty())
        arguments << QStringLiteral("-t") << type;
    m_session.run(QStringLiteral("xclip"), arguments, data);
}

bool AppWorld::startTarget()
{
    stopTarget();
    QFile::remove(m_root.path() + QStringLiteral("/target.txt"));
    m_target = std::make_unique<QProcess>();
    m_target->setProcessEnvironment(environment());
    m_target->setProcessChannelMode(QProcess::ForwardedChannels);
    m_target->start(QStringLiteral(VEXILO_TEST_TARGET),
                    {QStringLiteral("--edit"), m_root.path() + QStringLiteral("/target.txt")});
    if (!m_target->waitForStarted(10000))
        return false;
    // Active once the window manager says the window with our title is in front.
    QDeadlineTimer deadline(15000);
    while (!deadline.hasExpired()) {
        const QByteArray id =
            m_session
                .run(QStringLiteral("xdotool"),
                     {QStringLiteral("search"), QStringLiteral("--name"), QStringLiteral("Vexilo test target")})
                .trimmed();
        if (!id.isEmpty()) {
            const QByteArray window = id.split('\n').first();
            m_session.run(QStringLiteral("xdotool"),
                          {QStringLiteral("windowactivate"), QStringLiteral("--sync"), QString::fromLatin1(window)});
            const QByteArray active =
                m_session.run(QStringLiteral("xdotool"), {QStringLiteral("getactivewindow")}).trimmed();
            if (active == window)
                return true;
        }
        QThread::msleep(100);
    }
    return false;
}

QString AppWorld::targetText() const
{
    QFile file(m_root.path() + QStringLiteral("/target.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

void AppWorld::stopTarget()
{
    if (!m_target)
        return;
    m_target->kill();
    m_target->waitForFinished(5000);
    m_target.reset();
}

QList<ClipItem> AppWorld::historyFile() const
{
    QFile file(storageDirectory() + QStringLiteral("/history.json"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return ClipJson::decodeHistory(file.readAll()).items;
}

bool AppWorld::waitForSavedClip(const std::function<bool(const ClipItem &)> &test, int timeoutMs) const
{
    return QTest::qWaitFor(
        [&] {
            const QList<ClipItem> items = historyFile();
            return std::any_of(items.cbegin(), items.cend(), test);
        },
        timeoutMs);
}

std::optional<ClipItem> AppWorld::waitForListedClip(const std::function<bool(const ClipItem &)> &test,
                                                    int timeoutMs) const
{
    std::optional<ClipItem> found;
    [[maybe_unused]] const bool seen = QTest::qWaitFor(
        [&] {
            const Result listed = vexilo({QStringLiteral("list"), QStringLiteral("--json")});
            for (const ClipItem &item : ClipJson::decodeHistory(listed.out.toUtf8()).items) {
                if (test(item)) {
                    found = item;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return found;
}

} // namespace Vexilo::Test
