// SPDX-License-Identifier: MIT
#include "X11Pasteboard.h"

#include "ClipboardFormats.h"

#include <QMimeData>
#include <QUrl>

namespace Vexilo {

namespace {

const QString uriListType = QStringLiteral("text/uri-list");
const QString gnomeCopiedFilesType = QStringLiteral("x-special/gnome-copied-files");
const QString plainTextType = QStringLiteral("text/plain");
const QString utf8PlainTextType = QStringLiteral("text/plain;charset=utf-8");
// Qt adds this to every offer it can decode an image from; it names no target of the owner.
const QString qtImageType = QStringLiteral("application/x-qt-image");

} // namespace

X11Pasteboard::X11Pasteboard(QClipboard *clipboard, QObject *parent)
    : Pasteboard(parent)
    , m_clipboard(clipboard)
{
    connect(m_clipboard, &QClipboard::changed, this, &X11Pasteboard::onClipboardChanged);
}

void X11Pasteboard::onClipboardChanged(QClipboard::Mode mode)
{
    // A write of our own is counted once, by write(), whether or not Qt reports it too.
    if (mode != QClipboard::Clipboard || m_writing)
        return;
    ++m_changeCount;
    Q_EMIT changed();
}

const QMimeData *X11Pasteboard::contents() const
{
    return m_clipboard->mimeData(QClipboard::Clipboard);
}

QStringList X11Pasteboard::types() const
{
    const QMimeData *data = contents();
    if (!data)
        return {};
    QStringList result;
    for (const QString &format : data->formats()) {
        if (ClipboardFormats::isSelectionTarget(format))
            continue;
        // Our own image writes carry only Qt's internal format; Qt serves them as PNG among others.
        const QString type = format == qtImageType ? QStringLiteral("image/png") : format;
        if (!result.contains(type))
            result.append(type);
    }
    return result;
}

QStringList X11Pasteboard::fileUrlPaths() const
{
    const QMimeData *data = contents();
    if (!data || !data->hasFormat(uriListType))
        return {};
    return ClipboardFormats::localPathsFromUriList(data->data(uriListType));
}

std::optional<QStringList> X11Pasteboard::legacyFileNames() const
{
    const QMimeData *data = contents();
    if (!data || !data->hasFormat(gnomeCopiedFilesType))
        return std::nullopt;
    return ClipboardFormats::localPathsFromGnomeCopiedFiles(data->data(gnomeCopiedFilesType));
}

QList<QImage> X11Pasteboard::images() const
{
    const QMimeData *data = contents();
    if (!data || !data->hasImage())
        return {};
    const QImage image = qvariant_cast<QImage>(data->imageData());
    if (image.isNull())
        return {};
    return {image};
}

std::optional<QString> X11Pasteboard::string() const
{
    const QMimeData *data = contents();
    if (!data || !(data->hasFormat(plainTextType) || data->hasFormat(utf8PlainTextType)))
        return std::nullopt;
    return data->text();
}

void X11Pasteboard::write(QMimeData *data)
{
    m_writing = true;
    m_clipboard->setMimeData(data, QClipboard::Clipboard);
    m_writing = false;
    ++m_changeCount;
    // Queued, so that the writer can acknowledge its write before anyone checks the new count.
    QMetaObject::invokeMethod(this, &Pasteboard::changed, Qt::QueuedConnection);
}

void X11Pasteboard::clearContents()
{
    write(new QMimeData);
}

void X11Pasteboard::setString(const QString &text)
{
    auto *data = new QMimeData;
    data->setText(text);
    write(data);
}

void X11Pasteboard::writeFileUrls(const QStringList &paths)
{
    QList<QUrl> urls;
    QByteArray copiedFiles = QByteArrayLiteral("copy");
    for (const QString &path : paths) {
        const QUrl url = QUrl::fromLocalFile(path);
        urls.append(url);
        copiedFiles += '\n' + url.toEncoded();
    }
    auto *data = new QMimeData;
    data->setUrls(urls);
    // File managers paste files only from their own list; editors get the paths as text.
    data->setData(gnomeCopiedFilesType, copiedFiles);
    data->setText(paths.join(u'\n'));
    write(data);
}

void X11Pasteboard::writeImage(const QImage &image)
{
    auto *data = new QMimeData;
    data->setImageData(image);
    write(data);
}

} // namespace Vexilo
