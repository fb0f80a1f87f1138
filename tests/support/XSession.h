// SPDX-License-Identifier: MIT
#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <memory>
#include <optional>

class QTemporaryDir;

namespace Vexilo::Test {

// A private X display for one test program: Xvfb on a free display number and, optionally, the
// openbox window manager. Started and stopped by the test itself; never touches any other display.
class XSession
{
public:
    XSession();
    ~XSession();
    XSession(const XSession &) = delete;
    XSession &operator=(const XSession &) = delete;

    // False with errorString() when no X server could be started.
    bool start(bool withWindowManager = true);
    void stop();

    [[nodiscard]] QString display() const { return m_display; }
    [[nodiscard]] QString errorString() const { return m_error; }
    // The system environment with DISPLAY pointing at this session.
    [[nodiscard]] QProcessEnvironment environment() const;

    // Runs a command-line X tool (xclip, xdotool, xprop...) on this display and returns its output.
    // Gives up after timeoutMs.
    QByteArray run(const QString &program, const QStringList &arguments, const QByteArray &input = {},
                   int timeoutMs = 10000, int *exitCode = nullptr) const;
    // xdotool with these arguments; false when it fails.
    bool xdotool(const QStringList &arguments) const;
    // Copies with xclip, which keeps serving the bytes in the background until someone else copies.
    bool copy(const QByteArray &bytes, const QString &target,
              const QString &selection = QStringLiteral("clipboard")) const;
    // The clipboard as `target`, read with xclip while this process keeps handling events: it may be
    // the owner that has to answer. Nothing when xclip fails.
    std::optional<QByteArray> paste(const QString &target) const;

private:
    bool waitForWindowManager();

    QString m_display;
    QString m_error;
    std::unique_ptr<QProcess> m_server;
    std::unique_ptr<QProcess> m_windowManager;
    std::unique_ptr<QTemporaryDir> m_config;
};

} // namespace Vexilo::Test
