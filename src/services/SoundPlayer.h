// SPDX-License-Identifier: MIT
#pragma once

#include "SoundEffect.h"

#include <QMutex>
#include <vector>

namespace Vexilo {

// A pool of copies of one sound, so rapid repeats overlap instead of cutting each other off.
class SoundPlayer
{
public:
    SoundPlayer(const QString &systemName, int poolSize, const SoundEffectLoader &loader);

    // Plays the next pooled copy, stopping and rewinding it first if it is still playing.
    void play();
    [[nodiscard]] int poolSize() const;

private:
    QMutex m_lock;
    std::vector<std::unique_ptr<SoundEffect>> m_pool;
    int m_nextIndex = 0;
};

} // namespace Vexilo
