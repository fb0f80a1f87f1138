// SPDX-License-Identifier: MIT
#include "WaylandProbe.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <cstdio>
#include <cstring>

namespace Vexilo::Test {

namespace {

void say(const QString &line)
{
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

} // namespace

int runWaylandProbeIfAsked(int argc, char **argv)
{
    if (argc < 4 || std::strcmp(argv[1], "--probe") != 0)
        return -1;
    qputenv("QT_QPA_PLATFORM", argc > 4 ? argv[4] : "wayland");
    QApplication app(argc, argv);
    QApplication::setDesktopFileName(QString::fromLocal8Bit(argv[2]));
    QLineEdit field(QString::fromLocal8Bit(argv[3]));
    field.setWindowTitle(QString::fromLocal8Bit(argv[2]));
    field.setCursorPosition(int(field.text().size()));
    QObject::connect(&field, &QLineEdit::textChanged, &say);
    // Ready once the compositor has given the window the keyboard, so keys cannot arrive before.
    bool ready = false;
    QObject::connect(&app, &QGuiApplication::focusWindowChanged, [&](QWindow *window) {
        if (window && !ready) {
            ready = true;
            say(QStringLiteral("ready"));
        }
    });
    field.show();
    return QApplication::exec();
}

WaylandProbe::~WaylandProbe()
{
    kill();
    waitForFinished(5000);
}

bool WaylandProbe::start(const QString &appId, const QString &text, const QString &platform)
{
    QProcess::start(QCoreApplication::applicationFilePath(), {QStringLiteral("--probe"), appId, text, platform});
    return waitForText(QStringLiteral("ready"));
}

bool WaylandProbe::waitForText(const QString &text, int timeoutMs)
{
    return QTest::qWaitFor(
        [&] {
            while (canReadLine())
                m_lastLine = QString::fromUtf8(readLine()).chopped(1);
            return m_lastLine == text;
        },
        timeoutMs);
}

} // namespace Vexilo::Test
