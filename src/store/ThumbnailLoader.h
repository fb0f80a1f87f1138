// SPDX-License-Identifier: MIT
#pragma once

#include <QCache>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <functional>

namespace Vexilo {

// Small decoded images for list rows and the detail pane. Decoding runs off the main thread and
// samples the file down to the pixel size needed; requests for a file and size already being decoded
// share that decode; results are kept in a memory cache of 120 entries.
class ThumbnailLoader : public QObject
{
    Q_OBJECT

public:
    // Decodes the file with its longer side at most maxPixelSize; a null image when it cannot.
    using Decoder = std::function<QImage(const QString &path, int maxPixelSize)>;
    using Callback = std::function<void(const QImage &image)>;

    explicit ThumbnailLoader(Decoder decoder = decodeThumbnail, std::function<qreal()> screenScale = primaryScreenScale,
                             QObject *parent = nullptr);

    static constexpr int cacheCountLimit = 120;

    // "<file name>_<size truncated to an integer>".
    [[nodiscard]] static QString key(const QString &fileName, double size);

    // Delivers the thumbnail (or a null image) to callback on the main thread, unless receiver has been
    // destroyed by then. A cached thumbnail is delivered at once.
    void load(const QString &path, const QString &fileName, double size, QObject *receiver, Callback callback);

    [[nodiscard]] bool isCached(const QString &key) const;
    [[nodiscard]] int inFlightCount() const { return int(m_inFlight.size()); }

    static QImage decodeThumbnail(const QString &path, int maxPixelSize);
    // Pixels per point of the main screen; 2.0 without a screen.
    static qreal primaryScreenScale();

private:
    struct Waiter
    {
        QPointer<QObject> receiver;
        Callback callback;
    };
    struct Result
    {
        QImage image;
        bool sampled = false;
    };
    void finish(const QString &key, const Result &decoded);

    Decoder m_decoder;
    std::function<qreal()> m_screenScale;
    QCache<QString, QImage> m_cache;
    QHash<QString, QList<Waiter>> m_inFlight;
};

} // namespace Vexilo
