// SPDX-License-Identifier: MIT
#include "ClipThumbnailProvider.h"

#include "ClipboardStore.h"

#include <QQmlEngine>
#include <QUrl>
#include <QUrlQuery>

using namespace Qt::StringLiterals;

namespace Vexilo {

namespace {

// Lives on the store's thread, where the loader calls back; the engine deletes it once finished.
class ThumbnailResponse : public QQuickImageResponse
{
public:
    [[nodiscard]] QQuickTextureFactory *textureFactory() const override
    {
        return m_image.isNull() ? nullptr : QQuickTextureFactory::textureFactoryForImage(m_image);
    }
    [[nodiscard]] QString errorString() const override { return m_error; }

    // The engine no longer wants the image, but still waits for finished() to let go of it.
    void cancel() override { finish({}, u"Cancelled"_s); }

    void deliver(const QImage &image) { finish(image, image.isNull() ? u"Image file missing"_s : QString()); }

private:
    void finish(const QImage &image, const QString &error)
    {
        if (m_finished)
            return;
        m_finished = true;
        m_image = image;
        m_error = error;
        Q_EMIT finished();
    }

    QImage m_image;
    QString m_error;
    bool m_finished = false;
};

} // namespace

ClipThumbnailProvider::ClipThumbnailProvider(ClipboardStore &store)
    : m_store(store)
{ }

ClipThumbnailProvider::Request ClipThumbnailProvider::parse(const QString &id, const QSize &requestedSize)
{
    Request request;
    const qsizetype question = id.indexOf(u'?');
    request.fileName = QUrl::fromPercentEncoding(id.left(question).toUtf8());
    bool ok = false;
    const double size = question < 0 ? 0 : QUrlQuery(id.mid(question + 1)).queryItemValue(u"size"_s).toDouble(&ok);
    if (ok && size > 0)
        request.size = size;
    else if (requestedSize.isValid() && qMax(requestedSize.width(), requestedSize.height()) > 0)
        request.size = qMax(requestedSize.width(), requestedSize.height());
    return request;
}

QQuickImageResponse *ClipThumbnailProvider::requestImageResponse(const QString &id, const QSize &requestedSize)
{
    const Request request = parse(id, requestedSize);
    auto *response = new ThumbnailResponse;
    // The loader's receiver check and callback happen on the store's thread, so the response lives there.
    response->moveToThread(m_store.thread());
    ClipboardStore *store = &m_store;
    QMetaObject::invokeMethod(
        response,
        [store, response, request] {
            store->loadThumbnail(request.fileName, request.size, response,
                                 [response](const QImage &image) { response->deliver(image); });
        },
        Qt::QueuedConnection);
    return response;
}

void ClipThumbnailProvider::install(QQmlEngine &engine, ClipboardStore &store)
{
    engine.addImageProvider(QString::fromLatin1(providerId), new ClipThumbnailProvider(store));
}

} // namespace Vexilo
