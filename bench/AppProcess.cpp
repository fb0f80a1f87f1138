// SPDX-License-Identifier: MIT
#include "AppProcess.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QThread>

#include <unistd.h>

namespace Vexilo::Bench {

bool spinUntil(const std::function<bool()> &done, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (!done())
            QThread::usleep(200);
    }
    return true;
}

double residentMegabytes(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return 0;
}

double cpuSeconds(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray line = stat.readAll();
    // Fields after the command name, which may itself hold spaces; utime and stime are 14 and 15.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return 0;
    return (fields.at(11).toDouble() + fields.at(12).toDouble()) / double(sysconf(_SC_CLK_TCK));
}

AppProcess::AppProcess(const QProcessEnvironment &display, const QProcessEnvironment &extra)
{
    for (const char *folder : {"config/Vexilo", "data", "runtime", "home"})
        QDir().mkpath(m_root.path() + u'/' + QLatin1StringView(folder));
    QFile::setPermissions(m_root.path() + QStringLiteral("/runtime"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // The automatic update check ran "just now"; any check would go to a closed local port.
    QSettings settings(m_root.path() + QStringLiteral("/config/Vexilo/Vexilo.ini"), QSettings::IniFormat);
    settings.setValue(QStringLiteral("lastUpdateCheckDate"), QDateTime::currentDateTime());
    settings.setValue(QStringLiteral("playSounds"), false);
    m_env = display;
    m_env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_root.path() + QStringLiteral("/config"));
    m_env.insert(QStringLiteral("XDG_DATA_HOME"), m_root.path() + QStringLiteral("/data"));
    m_env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_root.path() + QStringLiteral("/runtime"));
    m_env.insert(QStringLiteral("HOME"), m_root.path() + QStringLiteral("/home"));
    m_env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    m_env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("disabled:"));
    m_env.insert(QStringLiteral("VEXILO_UPDATE_MANIFEST_URL"), QStringLiteral("http://127.0.0.1:9/update.json"));
    m_env.insert(extra);
}

AppProcess::~AppProcess()
{
    quit();
}

QString AppProcess::historyFile() const
{
    return m_root.path() + QStringLiteral("/data/Vexilo/history.json");
}

bool AppProcess::start()
{
    m_app.setProcessEnvironment(m_env);
    // Standard output is kept for what the application traces (VEXILO_TRACE_PRESENT).
    m_app.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_app.start(QStringLiteral(VEXILO_BINARY), {});
    if (!m_app.waitForStarted(10000))
        return false;
    QDeadlineTimer deadline(60000);
    while (!deadline.hasExpired() && m_app.state() == QProcess::Running) {
        if (command({QStringLiteral("status")}) == 0)
            return true;
        QThread::msleep(100);
    }
    return false;
}

void AppProcess::quit()
{
    if (m_app.state() == QProcess::NotRunning)
        return;
    command({QStringLiteral("quit")});
    if (!m_app.waitForFinished(30000))
        m_app.kill();
    m_app.waitForFinished(5000);
}

int AppProcess::command(const QStringList &arguments, QByteArray *output)
{
    QProcess cli;
    cli.setProcessEnvironment(m_env);
    if (!output)
        cli.setStandardOutputFile(QProcess::nullDevice());
    cli.start(QStringLiteral(VEXILO_BINARY), arguments);
    if (!cli.waitForFinished(60000)) {
        cli.kill();
        cli.waitForFinished();
        return -1;
    }
    if (output)
        *output = cli.readAllStandardOutput();
    return cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1;
}

QList<QByteArray> AppProcess::takeLines(const QByteArray &prefix)
{
    m_output += m_app.readAllStandardOutput();
    QList<QByteArray> found;
    qsizetype end = 0;
    while ((end = m_output.indexOf('\n')) >= 0) {
        const QByteArray line = m_output.left(end);
        m_output.remove(0, end + 1);
        if (line.startsWith(prefix))
            found.append(line.mid(prefix.size()).trimmed());
    }
    return found;
}

} // namespace Vexilo::Bench
