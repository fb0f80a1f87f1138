// SPDX-License-Identifier: MIT
#pragma once

#include "KeyEventSource.h"

#include <QByteArray>
#include <memory>

class QSocketNotifier;
struct _XDisplay;

namespace Vexilo {

struct X11RecordSession;

// Watches the keys typed in every application through the RECORD extension. Recording needs two
// X connections of its own: one to control the recording context and one on which the server
// streams the recorded events. The stream is read on the main thread when its socket has data.
class X11KeyEventSource : public KeyEventSource
{
    Q_OBJECT

public:
    // An empty display name means the one in DISPLAY.
    explicit X11KeyEventSource(const QByteArray &displayName = {}, QObject *parent = nullptr);
    ~X11KeyEventSource() override;

    bool start() override;
    void stop() override;
    [[nodiscard]] bool isRunning() const override;
    [[nodiscard]] bool isAvailable() const override;
    [[nodiscard]] QString unavailableReason() const override;

private:
    void processReplies();
    bool waitForSession(bool started);
    void refreshKeyboardMapping();
    [[nodiscard]] std::optional<KeyEvent> translate(quint8 keycode, quint16 state) const;
    void closeSession();

    QByteArray m_displayName;
    _XDisplay *m_control = nullptr;
    bool m_hasRecord = false;
    std::unique_ptr<X11RecordSession> m_session;
    QSocketNotifier *m_notifier = nullptr;
    // Bumped by stop(), so that keys read before it are not delivered after it.
    quint64 m_generation = 0;
};

} // namespace Vexilo
