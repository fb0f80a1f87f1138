// SPDX-License-Identifier: MIT
#include "SoundPlayer.h"

namespace Vexilo {

SoundPlayer::SoundPlayer(const QString &systemName, int poolSize, const SoundEffectLoader &loader)
{
    for (int i = 0; i < poolSize && loader; ++i) {
        if (auto sound = loader(systemName))
            m_pool.push_back(std::move(sound));
    }
}

void SoundPlayer::play()
{
    QMutexLocker lock(&m_lock);
    if (m_pool.empty())
        return;
    SoundEffect &sound = *m_pool[size_t(m_nextIndex) % m_pool.size()];
    ++m_nextIndex;
    if (sound.isPlaying())
        sound.stop();
    sound.rewind();
    sound.play();
}

int SoundPlayer::poolSize() const
{
    return int(m_pool.size());
}

} // namespace Vexilo
