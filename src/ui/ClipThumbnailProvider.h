// SPDX-License-Identifier: MIT
#pragma once

#include <QQuickAsyncImageProvider>

class QQmlEngine;

namespace Vexilo {

class ClipboardStore;

// Thumbnails of image clips for QML: "image://thumbnail/<image file name>?size=<points>". They come
// from the store's thumbnail loader, which decodes off the main thread and caches; a file that is
// missing or unreadable gives an error, and the row shows its tile instead.
class ClipThumbnailProvider : public QQuickAsyncImageProvider
{
public:
    static constexpr auto providerId = "thumbnail";
    static constexpr double defaultSize = 38;

    explicit ClipThumbnailProvider(ClipboardStore &store);

    // Runs on an image loading thread; the work is handed to the store's thread.
    QQuickImageResponse *requestImageResponse(const QString &id, const QSize &requestedSize) override;

    struct Request
    {
        QString fileName;
        double size = defaultSize; // points
    };
    // "<file>?size=<points>"; without a size, the larger side of requestedSize, else the default.
    [[nodiscard]] static Request parse(const QString &id, const QSize &requestedSize);

    // Adds the provider to the engine, which owns it. The store must outlive the engine.
    static void install(QQmlEngine &engine, ClipboardStore &store);

private:
    ClipboardStore &m_store;
};

} // namespace Vexilo
