// SPDX-License-Identifier: MIT
#include "FakeKeyEventSource.h"

#include "KeyCodes.h"

#include <QTextBoundaryFinder>

namespace Vexilo {

void FakeKeyEventSource::press(const KeyEvent &event)
{
    if (m_running)
        Q_EMIT keyDown(event);
}

void FakeKeyEventSource::type(const QString &text)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype start = 0;
    while (finder.toNextBoundary() != -1) {
        const qsizetype end = finder.position();
        press({KeyCodes::Unknown, 0, text.mid(start, end - start)});
        start = end;
    }
}

void FakeKeyEventSource::pressKey(quint16 keyCode, quint64 modifierFlags)
{
    press({keyCode, modifierFlags, std::nullopt});
}

bool FakeKeyEventSource::start()
{
    if (!m_available)
        return false;
    ++m_startCount;
    m_running = true;
    return true;
}

void FakeKeyEventSource::stop()
{
    m_running = false;
}

} // namespace Vexilo
