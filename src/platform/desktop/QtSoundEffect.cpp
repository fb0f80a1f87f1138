// SPDX-License-Identifier: MIT
#include "QtSoundEffect.h"

#include <QAudioDevice>
#include <QFile>
#include <QMediaDevices>
#include <QSoundEffect>

namespace Vexilo {

QtSoundEffect::QtSoundEffect(const QUrl &source)
    : m_effect(std::make_unique<QSoundEffect>())
{
    m_effect->setSource(source);
}

QtSoundEffect::~QtSoundEffect() = default;

bool QtSoundEffect::isPlaying() const
{
    return m_effect->isPlaying();
}

void QtSoundEffect::stop()
{
    m_effect->stop();
}

void QtSoundEffect::rewind()
{
    // QSoundEffect always starts from the beginning; a stop is all it takes.
    if (m_effect->isPlaying())
        m_effect->stop();
}

void QtSoundEffect::play()
{
    m_effect->play();
}

QUrl QtSoundEffect::resourceUrl(const QString &name)
{
    if (name != QLatin1String("Tink") && name != QLatin1String("Pop") && name != QLatin1String("Bottle"))
        return {};
    return QUrl(QStringLiteral("qrc:/vexilo/sounds/") + name + QStringLiteral(".wav"));
}

SoundEffectLoader qtSoundEffectLoader()
{
    return [](const QString &name) -> std::unique_ptr<SoundEffect> {
        if (QMediaDevices::audioOutputs().isEmpty())
            return nullptr;
        const QUrl source = QtSoundEffect::resourceUrl(name);
        if (source.isEmpty() || !QFile::exists(u':' + source.path()))
            return nullptr;
        return std::make_unique<QtSoundEffect>(source);
    };
}

} // namespace Vexilo
