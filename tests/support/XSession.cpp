// SPDX-License-Identifier: MIT
#include "XSession.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

namespace Vexilo::Test {

XSession::XSession() = default;

XSession::~XSession()
{
    stop();
}

bool XSession::start(bool withWindowManager)
{
    // Display numbers far above the usual ones; another program may own any of them, so a number
    // counts as free only if its lock file is absent and the server really starts on it.
    for (int number = 150 + int(QCoreApplication::applicationPid() % 200); number < 700; number += 7) {
        if (QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(number)) ||
            QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number)))
            continue;
        auto server = std::make_unique<QProcess>();
        server->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        server->start(QStringLiteral("Xvfb"),
                      {QStringLiteral(":%1").arg(number), QStringLiteral("-screen"), QStringLiteral("0"),
                       QStringLiteral("1280x800x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                       QStringLiteral("-noreset")});
        if (!server->waitForStarted(5000)) {
            m_error = QStringLiteral("Xvfb could not be started: ") + server->errorString();
            return false;
        }
        const QString socket = QStringLiteral("/tmp/.X11-unix/X%1").arg(number);
        QDeadlineTimer deadline(10000);
        while (!QFile::exists(socket) && server->state() == QProcess::Running && !deadline.hasExpired())
            QThread::msleep(20);
        if (server->state() != QProcess::Running || !QFile::exists(socket)) {
            server->kill();
            server->waitForFinished(2000);
            continue; // taken meanwhile: try the next number
        }
        m_display = QStringLiteral(":%1").arg(number);
        m_server = std::move(server);
        break;
    }
    if (!m_server) {
        m_error = QStringLiteral("no free display number for Xvfb");
        return false;
    }
    if (!withWindowManager)
        return true;
    // Openbox's stock configuration binds keys the application registers (Alt+Space opens its window
    // menu); the test session's window manager binds none.
    m_config = std::make_unique<QTemporaryDir>();
    const QString rc = m_config->path() + QStringLiteral("/rc.xml");
    QFile file(rc);
    if (file.open(QIODevice::WriteOnly)) {
        file.write("<?xml version=\"1.0\"?>\n<openbox_config xmlns=\"http://openbox.org/3.4/rc\">\n"
                   "<focus><focusNew>yes</focusNew><followMouse>no</followMouse></focus>\n"
                   "<keyboard></keyboard><mouse></mouse>\n</openbox_config>\n");
        file.close();
    }
    m_windowManager = std::make_unique<QProcess>();
    m_windowManager->setProcessEnvironment(environment());
    m_windowManager->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_windowManager->start(QStringLiteral("openbox"),
                           {QStringLiteral("--sm-disable"), QStringLiteral("--config-file"), rc});
    if (!m_windowManager->waitForStarted(5000) || !waitForWindowManager()) {
        m_error = QStringLiteral("openbox did not start on ") + m_display;
        return false;
    }
    return true;
}

bool XSession::waitForWindowManager()
{
    QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
        const QByteArray out =
            run(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")});
        if (out.contains("window id"))
            return true;
        QThread::msleep(50);
    }
    return false;
}

void XSession::stop()
{
    for (auto *process : {m_windowManager.get(), m_server.get()}) {
        if (!process || process->state() == QProcess::NotRunning)
            continue;
        process->terminate();
        if (!process->waitForFinished(3000)) {
            process->kill();
            process->waitForFinished(2000);
        }
    }
    m_windowManager.reset();
    m_server.reset();
}

QProcessEnvironment XSession::environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), m_display);
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    return env;
}

QByteArray XSession::run(const QString &program, const QStringList &arguments, const QByteArray &input, int timeoutMs,
                         int *exitCode) const
{
    QProcess process;
    process.setProcessEnvironment(environment());
    process.start(program, arguments);
    if (!process.waitForStarted(5000)) {
        if (exitCode)
            *exitCode = -1;
        return {};
    }
    if (!input.isEmpty())
        process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(2000);
    }
    if (exitCode)
        *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return process.readAllStandardOutput();
}

bool XSession::xdotool(const QStringList &arguments) const
{
    int exitCode = -1;
    run(QStringLiteral("xdotool"), arguments, {}, 10000, &exitCode);
    return exitCode == 0;
}

bool XSession::copy(const QByteArray &bytes, const QString &target, const QString &selection) const
{
    int exitCode = -1;
    run(QStringLiteral("xclip"),
        {QStringLiteral("-selection"), selection, QStringLiteral("-t"), target, QStringLiteral("-i")}, bytes, 10000,
        &exitCode);
    return exitCode == 0;
}

std::optional<QByteArray> XSession::paste(const QString &target) const
{
    QProcess xclip;
    xclip.setProcessEnvironment(environment());
    QEventLoop loop;
    QObject::connect(&xclip, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&xclip, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    xclip.start(QStringLiteral("xclip"),
                {QStringLiteral("-selection"), QStringLiteral("clipboard"), QStringLiteral("-o"), QStringLiteral("-t"),
                 target});
    if (xclip.state() != QProcess::NotRunning)
        loop.exec();
    if (xclip.state() != QProcess::NotRunning) {
        xclip.kill();
        xclip.waitForFinished(2000);
        return std::nullopt;
    }
    if (xclip.exitStatus() != QProcess::NormalExit || xclip.exitCode() != 0)
        return std::nullopt;
    return xclip.readAllStandardOutput();
}

} // namespace Vexilo::Test
