// SPDX-License-Identifier: MIT
#include "StoreFixture.h"

#include "ClipJson.h"
#include "HistoryFile.h"

#include <QDir>
#include <QFile>

namespace Vexilo::Test {

StoreFixture::StoreFixture()
{
    m_settings = AppSettings::openFile(m_root.path() + QStringLiteral("/settings.ini"));
    m_settings->registerDefaults(AppStorageKeys::defaultValues());
    environment.paths = StoragePaths::forStorageDirectory(storageDirectory());
    environment.settings = m_settings.get();
    environment.playSound = [sounds = m_sounds](FeedbackSound sound) {
        static const char *const names[] = {"Copy", "Delete", "Pin"};
        sounds->append(QLatin1StringView(names[int(sound)]));
    };
    environment.recognizeText = [this](const QImage &image, QObject *context,
                                       std::function<void(std::optional<QString>)> done) {
        m_recognizer.recognize(image, context, std::move(done));
    };
    environment.log = [log = m_log](const QString &line) { log->append(line); };
    environment.clock = &clock;
    environment.screenScale = [] { return 2.0; };
}

ClipboardStore &StoreFixture::open()
{
    m_store.reset();
    m_store = std::make_unique<ClipboardStore>(environment);
    return *m_store;
}

void StoreFixture::close()
{
    m_store.reset();
}

void StoreFixture::writeHistory(const QList<ClipItem> &items)
{
    writeHistoryBytes(ClipJson::encodeHistory(items));
}

void StoreFixture::writeHistoryBytes(const QByteArray &bytes)
{
    QDir().mkpath(storageDirectory());
    QFile file(historyFile());
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(bytes);
}

QList<ClipItem> StoreFixture::readHistory() const
{
    QFile file(historyFile());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return ClipJson::decodeHistory(file.readAll()).items;
}

QStringList StoreFixture::imageFiles() const
{
    return QDir(imagesDirectory()).entryList(QDir::Files, QDir::Name);
}

ClipItem StoreFixture::textClip(const QString &text, double ageSeconds, bool pinned) const
{
    ClipItem clip(QUuid::createUuid(), clock - ageSeconds, ClipType::Text, pinned);
    clip.setTextContent(text);
    return clip;
}

} // namespace Vexilo::Test
