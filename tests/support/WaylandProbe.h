// SPDX-License-Identifier: MIT
#pragma once

#include <QProcess>
#include <QString>

// A text field in a window of its own, a native Wayland client: what keystrokes and pastes did is
// read from the target itself. The test binary runs it when started with `--probe`.
namespace Vexilo::Test {

// Call first in main(): runs the probe and returns its exit code when the arguments ask for it
// (`--probe APP_ID TEXT [PLATFORM]`), otherwise returns -1.
int runWaylandProbeIfAsked(int argc, char **argv);

// The probe as a child process, killed with the object.
class WaylandProbe : public QProcess
{
public:
    ~WaylandProbe() override;

    // Starts the probe with this app_id and field text and waits until its window has the keyboard.
    // The platform "xcb" makes it an Xwayland client instead.
    [[nodiscard]] bool start(const QString &appId, const QString &text = {},
                             const QString &platform = QStringLiteral("wayland"));
    // Waits until the field holds `text`.
    [[nodiscard]] bool waitForText(const QString &text, int timeoutMs = 5000);
    // The field as the probe last reported it.
    [[nodiscard]] QString lastText() const { return m_lastLine; }

private:
    QString m_lastLine;
};

} // namespace Vexilo::Test
