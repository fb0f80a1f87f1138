// SPDX-License-Identifier: MIT
#include "FakeKeySynthesizer.h"

#include <QStringList>
#include <QThread>

namespace Vexilo {

QList<FakeKeySynthesizer::PostedKey> FakeKeySynthesizer::postedKeys() const
{
    const QMutexLocker locker(&m_mutex);
    return m_posted;
}

int FakeKeySynthesizer::postedKeyCount() const
{
    const QMutexLocker locker(&m_mutex);
    return int(m_posted.size());
}

QStringList FakeKeySynthesizer::postedKeySummary() const
{
    QStringList summary;
    for (const PostedKey &key : postedKeys()) {
        summary.append(QStringLiteral("%1:%2:%3")
                           .arg(key.keyCode)
                           .arg(key.modifierFlags, 0, 16)
                           .arg(key.down ? QStringLiteral("down") : QStringLiteral("up")));
    }
    return summary;
}

void FakeKeySynthesizer::clear()
{
    const QMutexLocker locker(&m_mutex);
    m_posted.clear();
}

bool FakeKeySynthesizer::modifiersHeld() const
{
    ++m_modifierQueries;
    return m_modifiersHeld;
}

void FakeKeySynthesizer::postKey(quint16 keyCode, quint64 modifierFlags, bool down)
{
    const QMutexLocker locker(&m_mutex);
    m_posted.append({keyCode, modifierFlags, down, QThread::currentThread(), m_modifiersHeld});
}

} // namespace Vexilo
