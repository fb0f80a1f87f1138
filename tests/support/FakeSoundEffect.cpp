// SPDX-License-Identifier: MIT
#include "FakeSoundEffect.h"

namespace Vexilo::Test {

FakeSoundEffect::FakeSoundEffect(std::shared_ptr<SoundLog> log, QString name, int copy)
    : m_log(std::move(log))
    , m_name(std::move(name))
    , m_copy(copy)
{ }

void FakeSoundEffect::record(const QString &action)
{
    m_log->events.append(QStringLiteral("%1#%2:%3").arg(m_name).arg(m_copy).arg(action));
}

void FakeSoundEffect::stop()
{
    m_playing = false;
    record(QStringLiteral("stop"));
}

void FakeSoundEffect::rewind()
{
    record(QStringLiteral("rewind"));
}

void FakeSoundEffect::play()
{
    m_playing = true;
    record(QStringLiteral("play"));
}

SoundEffectLoader fakeSoundLoader(std::shared_ptr<SoundLog> log)
{
    return [log](const QString &name) -> std::unique_ptr<SoundEffect> {
        if (log->unavailable.contains(name))
            return nullptr;
        ++log->loads;
        return std::make_unique<FakeSoundEffect>(log, name, log->loads);
    };
}

} // namespace Vexilo::Test
