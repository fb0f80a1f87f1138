// SPDX-License-Identifier: MIT
#pragma once

#include "SoundEffect.h"

#include <QUrl>
#include <memory>

class QSoundEffect;

namespace Vexilo {

// A feedback sound played by Qt Multimedia. Create and use it on the main thread.
class QtSoundEffect : public SoundEffect
{
public:
    explicit QtSoundEffect(const QUrl &source);
    ~QtSoundEffect() override;

    [[nodiscard]] bool isPlaying() const override;
    void stop() override;
    void rewind() override;
    void play() override;

    // The sound shipped with the program for a name ("Tink", "Pop", "Bottle"); empty for others.
    [[nodiscard]] static QUrl resourceUrl(const QString &name);

private:
    std::unique_ptr<QSoundEffect> m_effect;
};

// Loads the shipped sounds; yields null for unknown names and for every name when the machine has
// no audio output, so that nothing tries to reach a sound server that is not there.
[[nodiscard]] SoundEffectLoader qtSoundEffectLoader();

} // namespace Vexilo
