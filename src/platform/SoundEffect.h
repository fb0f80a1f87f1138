// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <functional>
#include <memory>

namespace Vexilo {

// One loaded feedback sound that can be played, stopped and rewound.
class SoundEffect
{
public:
    virtual ~SoundEffect() = default;
    [[nodiscard]] virtual bool isPlaying() const = 0;
    virtual void stop() = 0;
    virtual void rewind() = 0;
    virtual void play() = 0;
};

// Loads the named sound ("Tink", "Pop", "Bottle"); returns null when it cannot be loaded.
using SoundEffectLoader = std::function<std::unique_ptr<SoundEffect>(const QString &name)>;

} // namespace Vexilo
