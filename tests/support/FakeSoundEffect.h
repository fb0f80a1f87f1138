// SPDX-License-Identifier: MIT
#pragma once

#include "SoundEffect.h"

#include <QStringList>
#include <memory>

namespace Vexilo::Test {

// Records what is done to each loaded sound. A sound "plays" until it is stopped.
struct SoundLog
{
    QStringList events; // "<name>#<copy>:<action>"
    int loads = 0;
    QStringList unavailable; // names that fail to load
};

class FakeSoundEffect : public SoundEffect
{
public:
    FakeSoundEffect(std::shared_ptr<SoundLog> log, QString name, int copy);
    bool isPlaying() const override { return m_playing; }
    void stop() override;
    void rewind() override;
    void play() override;

private:
    void record(const QString &action);
    std::shared_ptr<SoundLog> m_log;
    QString m_name;
    int m_copy;
    bool m_playing = false;
};

[[nodiscard]] SoundEffectLoader fakeSoundLoader(std::shared_ptr<SoundLog> log);

} // namespace Vexilo::Test
