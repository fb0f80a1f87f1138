// SPDX-License-Identifier: MIT
#include "ThumbnailLoader.h"

#include <QFutureWatcher>
#include <QGuiApplication>
#include <QImageReader>
#include <QScreen>
#include <QtConcurrent/QtConcurrentRun>
#include <cmath>

namespace Vexilo {

ThumbnailLoader::ThumbnailLoader(Decoder decoder, std::function<qreal()> screenScale, QObject *parent)
    : QObject(parent)
    , m_decoder(std::move(decoder))
    , m_screenScale(std::move(screenScale))
    , m_cache(cacheCountLimit)
{ }

QString ThumbnailLoader::key(const QString &fileName, double size)
{
    return fileName + u'_' + QString::number(qint64(std::trunc(size)));
}

bool ThumbnailLoader::isCached(const QString &key) const
{
    return m_cache.contains(key);
}

void ThumbnailLoader::load(const QString &path, const QString &fileName, double size, QObject *receiver,
                           Callback callback)
{
    const QString cacheKey = key(fileName, size);
    if (const QImage *cached = m_cache.object(cacheKey)) {
        callback(*cached);
        return;
    }
    auto it = m_inFlight.find(cacheKey);
    if (it != m_inFlight.end()) {
        it->append({receiver, std::move(callback)});
        return;
    }
    m_inFlight.insert(cacheKey, {{receiver, std::move(callback)}});
    const int maxPixelSize = qMax(1, int(std::lround(size * m_screenScale())));
    // A watcher owned by the loader, not a continuation: a loader that goes away with a decode under
    // way must not be called back.
    auto *watcher = new QFutureWatcher<Result>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, cacheKey] {
        watcher->deleteLater();
        finish(cacheKey, watcher->result());
    });
    watcher->setFuture(QtConcurrent::run([decoder = m_decoder, path, maxPixelSize] {
        // When the sampled decode fails the plain loader may still read the file; both run here, so
        // that a large image never decodes on the main thread.
        ThumbnailLoader::Result result{decoder(path, maxPixelSize), true};
        if (result.image.isNull()) {
            result.image = QImage(path);
            result.sampled = false;
        }
        return result;
    }));
}

void ThumbnailLoader::finish(const QString &cacheKey, const Result &decoded)
{
    const QList<Waiter> waiters = m_inFlight.take(cacheKey);
    QList<Waiter> alive;
    for (const Waiter &waiter : waiters) {
        if (waiter.receiver)
            alive.append(waiter);
    }
    // Everyone who asked has gone away: nothing is cached.
    if (alive.isEmpty())
        return;
    const QImage &result = decoded.image;
    // Only the sampled size is cached; the plain loader's full image is not.
    if (decoded.sampled && !result.isNull())
        m_cache.insert(cacheKey, new QImage(result), 1);
    for (const Waiter &waiter : alive) {
        if (waiter.receiver)
            waiter.callback(result);
    }
}

QImage ThumbnailLoader::decodeThumbnail(const QString &path, int maxPixelSize)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    if (!reader.canRead())
        return {};
    QSize size = reader.size();
    if (size.isValid()) {
        // The orientation swaps the sides after decoding; scale by the longer side either way.
        const int longer = qMax(size.width(), size.height());
        if (longer > maxPixelSize) {
            size = size.scaled(maxPixelSize, maxPixelSize, Qt::KeepAspectRatio);
            reader.setScaledSize(size.expandedTo(QSize(1, 1)));
        }
    }
    QImage image = reader.read();
    if (!image.isNull() && qMax(image.width(), image.height()) > maxPixelSize)
        image = image.scaled(maxPixelSize, maxPixelSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image;
}

qreal ThumbnailLoader::primaryScreenScale()
{
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        if (const QScreen *screen = QGuiApplication::primaryScreen())
            return screen->devicePixelRatio();
    }
    return 2.0;
}

} // namespace Vexilo
