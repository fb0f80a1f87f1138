// SPDX-License-Identifier: MIT
#include "X11KeyEventSource.h"

#include "KeyCodes.h"
#include "X11KeyMap.h"

#include <QDeadlineTimer>
#include <QSocketNotifier>

#include <poll.h>
#include <vector>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <X11/Xutil.h>
#include <X11/extensions/record.h>
#include <xkbcommon/xkbcommon.h>

namespace Vexilo {

namespace {

// How long start() and stop() wait for the server to confirm; it answers within a round trip.
constexpr int confirmationTimeoutMs = 2000;
// The modifiers that choose what a key types once Control, Alt and Super are set aside: Shift, the
// lock keys (CapsLock, NumLock on Mod2) and the keyboard group.
constexpr unsigned int typingStateMask = ShiftMask | LockMask | Mod2Mask | 0x6000;

struct RawKey
{
    quint8 keycode;
    quint16 state;
};

} // namespace

// One enabled recording context and the connection its data arrives on.
struct X11RecordSession
{
    Display *data = nullptr;
    XRecordContext context = 0;
    bool started = false;
    bool ended = false;
    std::vector<RawKey> pending;
};

namespace {

// Called by Xlib from inside XRecordProcessReplies. It only queues: signals are emitted after
// Xlib has returned, so that a receiver may stop the recording.
void intercept(XPointer closure, XRecordInterceptData *data)
{
    auto *session = reinterpret_cast<X11RecordSession *>(closure);
    switch (data->category) {
    case XRecordStartOfData:
        session->started = true;
        break;
    case XRecordEndOfData:
        session->ended = true;
        break;
    case XRecordFromServer:
        if (data->data && data->data_len * 4 >= sizeof(xEvent)) {
            const auto *event = reinterpret_cast<const xEvent *>(data->data);
            if ((event->u.u.type & 0x7f) == KeyPress)
                session->pending.push_back({event->u.u.detail, event->u.keyButtonPointer.state});
        }
        break;
    default:
        break;
    }
    XRecordFreeData(data);
}

} // namespace

X11KeyEventSource::X11KeyEventSource(const QByteArray &displayName, QObject *parent)
    : KeyEventSource(parent)
    , m_displayName(displayName)
    , m_control(XOpenDisplay(displayName.isEmpty() ? nullptr : displayName.constData()))
{
    int major = 0;
    int minor = 0;
    m_hasRecord = m_control && XRecordQueryVersion(m_control, &major, &minor);
}

X11KeyEventSource::~X11KeyEventSource()
{
    stop();
    if (m_control)
        XCloseDisplay(m_control);
}

bool X11KeyEventSource::isAvailable() const
{
    return m_hasRecord;
}

QString X11KeyEventSource::unavailableReason() const
{
    return m_hasRecord ? QString() : QStringLiteral("this display offers no RECORD");
}

bool X11KeyEventSource::isRunning() const
{
    return m_session != nullptr;
}

bool X11KeyEventSource::start()
{
    if (m_session)
        return true;
    if (!m_hasRecord)
        return false;

    XRecordRange *range = XRecordAllocRange();
    if (!range)
        return false;
    range->device_events.first = KeyPress;
    range->device_events.last = KeyPress;
    XRecordClientSpec clients = XRecordAllClients;
    const XRecordContext context = XRecordCreateContext(m_control, 0, &clients, 1, &range, 1);
    XFree(range);
    if (!context)
        return false;
    // The data connection must not ask for the context before the server has made it.
    XSync(m_control, False);

    m_session = std::make_unique<X11RecordSession>();
    m_session->context = context;
    m_session->data = XOpenDisplay(m_displayName.isEmpty() ? nullptr : m_displayName.constData());
    if (!m_session->data ||
        !XRecordEnableContextAsync(m_session->data, context, intercept, reinterpret_cast<XPointer>(m_session.get()))) {
        closeSession();
        return false;
    }
    XFlush(m_session->data);
    // Keys typed after start() returns must be seen, so wait until the server records.
    if (!waitForSession(true)) {
        closeSession();
        return false;
    }
    m_notifier = new QSocketNotifier(ConnectionNumber(m_session->data), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &X11KeyEventSource::processReplies);
    // Keys that came along with the confirmation are already out of the socket, so its notifier
    // will not announce them.
    QMetaObject::invokeMethod(this, &X11KeyEventSource::processReplies, Qt::QueuedConnection);
    return true;
}

void X11KeyEventSource::stop()
{
    if (!m_session)
        return;
    ++m_generation;
    if (m_notifier) {
        // stop() may run from a receiver of keyDown, inside the notifier's own signal.
        m_notifier->setEnabled(false);
        m_notifier->deleteLater();
        m_notifier = nullptr;
    }
    XRecordDisableContext(m_control, m_session->context);
    XSync(m_control, False);
    // The end of the data answers the pending enable request; Xlib frees its reply handler then.
    waitForSession(false);
    closeSession();
}

void X11KeyEventSource::closeSession()
{
    if (!m_session)
        return;
    XRecordFreeContext(m_control, m_session->context);
    XSync(m_control, False);
    if (m_session->data)
        XCloseDisplay(m_session->data);
    m_session.reset();
}

bool X11KeyEventSource::waitForSession(bool started)
{
    const auto done = [&] { return m_session->ended || (started && m_session->started); };
    const QDeadlineTimer deadline(confirmationTimeoutMs);
    pollfd descriptor{ConnectionNumber(m_session->data), POLLIN, 0};
    XRecordProcessReplies(m_session->data);
    while (!done() && !deadline.hasExpired()) {
        poll(&descriptor, 1, int(qMax<qint64>(1, deadline.remainingTime())));
        XRecordProcessReplies(m_session->data);
    }
    return started ? m_session->started && !m_session->ended : m_session->ended;
}

void X11KeyEventSource::processReplies()
{
    if (!m_session)
        return;
    XRecordProcessReplies(m_session->data);
    const std::vector<RawKey> keys = std::exchange(m_session->pending, {});
    if (keys.empty())
        return;
    refreshKeyboardMapping();
    const quint64 generation = m_generation;
    for (const RawKey &key : keys) {
        if (generation != m_generation)
            break;
        if (const auto event = translate(key.keycode, key.state))
            Q_EMIT keyDown(*event);
    }
}

void X11KeyEventSource::refreshKeyboardMapping()
{
    // The control connection selects no events; only MappingNotify, which every client gets, tells
    // Xlib that the layout it translates with has changed.
    while (XPending(m_control) > 0) {
        XEvent event;
        XNextEvent(m_control, &event);
        if (event.type == MappingNotify)
            XRefreshKeyboardMapping(&event.xmapping);
    }
}

std::optional<KeyEvent> X11KeyEventSource::translate(quint8 keycode, quint16 state) const
{
    const KeySym base = XkbKeycodeToKeysym(m_control, keycode, 0, 0);
    // Modifier keys on their own change the state; they are not key-downs.
    if (IsModifierKey(base))
        return std::nullopt;

    KeyEvent event;
    event.keyCode = X11KeyMap::keyCodeForKeysym(quint32(base));
    event.modifierFlags = X11KeyMap::flagsForXState(state);

    XKeyEvent typing{};
    typing.type = KeyPress;
    typing.display = m_control;
    typing.keycode = keycode;
    typing.state = state & typingStateMask;
    KeySym typed = NoSymbol;
    char buffer[16];
    XLookupString(&typing, buffer, sizeof(buffer), &typed, nullptr);
    // The keysym, not Xlib's locale-encoded text, so that every character comes out in Unicode.
    const char32_t character = xkb_keysym_to_utf32(quint32(typed));
    if (character != 0)
        event.charactersIgnoringModifiers = QString::fromUcs4(&character, 1);
    return event;
}

} // namespace Vexilo
