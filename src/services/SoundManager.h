// SPDX-License-Identifier: MIT
#pragma once

#include "FeedbackSound.h"
#include "SoundPlayer.h"

#include <memory>

namespace Vexilo {

class AppSettings;

// Feedback sounds for copy, delete and pin, gated by the "playSounds" setting. Players are created
// on first use and live as long as the manager.
class SoundManager
{
public:
    SoundManager(AppSettings *settings, SoundEffectLoader loader);
    ~SoundManager();

    // Reads "playSounds" on every call; a missing or non-Boolean value means on.
    [[nodiscard]] bool isEnabled() const;

    void play(FeedbackSound sound);
    void playCopy();
    void playDelete();
    void playPin();

    static constexpr int poolSize = 6;

private:
    void play(std::unique_ptr<SoundPlayer> &player, const QString &name);

    AppSettings *m_settings;
    SoundEffectLoader m_loader;
    std::unique_ptr<SoundPlayer> m_copy;
    std::unique_ptr<SoundPlayer> m_delete;
    std::unique_ptr<SoundPlayer> m_pin;
};

} // namespace Vexilo
