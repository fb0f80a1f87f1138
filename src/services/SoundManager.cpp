// SPDX-License-Identifier: MIT
#include "SoundManager.h"

#include "AppSettings.h"
#include "AppStorageKeys.h"

namespace Vexilo {

SoundManager::SoundManager(AppSettings *settings, SoundEffectLoader loader)
    : m_settings(settings)
    , m_loader(std::move(loader))
{ }

SoundManager::~SoundManager() = default;

bool SoundManager::isEnabled() const
{
    if (!m_settings)
        return true;
    return m_settings->storedBool(AppStorageKeys::playSounds).value_or(true);
}

void SoundManager::play(std::unique_ptr<SoundPlayer> &player, const QString &name)
{
    if (!isEnabled())
        return;
    if (!player)
        player = std::make_unique<SoundPlayer>(name, poolSize, m_loader);
    player->play();
}

void SoundManager::play(FeedbackSound sound)
{
    switch (sound) {
    case FeedbackSound::Copy:
        return playCopy();
    case FeedbackSound::Delete:
        return playDelete();
    case FeedbackSound::Pin:
        return playPin();
    }
}

void SoundManager::playCopy()
{
    play(m_copy, QStringLiteral("Tink"));
}

void SoundManager::playDelete()
{
    play(m_delete, QStringLiteral("Pop"));
}

void SoundManager::playPin()
{
    play(m_pin, QStringLiteral("Bottle"));
}

} // namespace Vexilo
