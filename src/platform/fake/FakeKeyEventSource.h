// SPDX-License-Identifier: MIT
#pragma once

#include "KeyEventSource.h"

namespace Vexilo {

// Key presses typed by the test as if in another application. Delivered only while started.
class FakeKeyEventSource : public KeyEventSource
{
    Q_OBJECT

public:
    using KeyEventSource::KeyEventSource;

    void setAvailable(bool available) { m_available = available; }
    [[nodiscard]] int startCount() const { return m_startCount; }

    void press(const KeyEvent &event);
    // One key press per character, without modifiers or a key code.
    void type(const QString &text);
    // A key that types nothing (arrows, function keys), or Backspace with its code.
    void pressKey(quint16 keyCode, quint64 modifierFlags = 0);

    bool start() override;
    void stop() override;
    [[nodiscard]] bool isRunning() const override { return m_running; }
    [[nodiscard]] bool isAvailable() const override { return m_available; }

private:
    bool m_available = true;
    bool m_running = false;
    int m_startCount = 0;
};

} // namespace Vexilo
