// SPDX-License-Identifier: MIT
#include "ImageServerProtocol.h"

#include "Uuid.h"

#include <algorithm>

#include <QStringDecoder>
#include <QUrl>

namespace Vexilo::ImageServerProtocol {

namespace {

const QString imagePrefix = QStringLiteral("/image/");

} // namespace

std::optional<QByteArray> takeRequestHead(const QByteArray &bytes)
{
    const qsizetype size = std::min(bytes.size(), maxRequestBytes);
    for (qsizetype i = 0; i < size; ++i) {
        const char c = bytes[i];
        // A head ends with an empty line; bare line feeds are taken as line ends too.
        if (c == '\n') {
            if (i + 1 < size && bytes[i + 1] == '\n')
                return bytes.left(i + 2);
            if (i + 2 < size && bytes[i + 1] == '\r' && bytes[i + 2] == '\n')
                return bytes.left(i + 3);
        } else if (static_cast<unsigned char>(c) < 0x20 && c != '\r' && c != '\t') {
            return bytes.left(i + 1); // no request holds control bytes: answered now, not at the timeout
        }
    }
    if (bytes.size() >= maxRequestBytes)
        return QByteArray();
    return std::nullopt;
}

Request parseRequest(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = decoder.decode(bytes);
    // Bytes that are not UTF-8 make an empty request.
    if (decoder.hasError())
        text.clear();

    const QString requestLine = text.section(QStringLiteral("\r\n"), 0, 0);
    const QStringList parts = requestLine.split(u' ');
    if (parts.size() < 2 || parts.at(0) != u"GET")
        return {badRequest(), {}, {}};

    // An empty target parses as an empty path, which is simply not an image.
    const QUrl target(parts.at(1), QUrl::StrictMode);
    if (!target.isValid() && !parts.at(1).isEmpty())
        return {badRequest(), {}, {}};

    const QString path = target.path(QUrl::FullyDecoded);
    if (!path.startsWith(imagePrefix))
        return {notFound(), {}, {}};
    const std::optional<QUuid> id = Uuid::parse(QStringView(path).sliced(imagePrefix.size()));
    if (!id)
        return {notFound(), {}, {}};

    return {std::nullopt, *id, tokenFromQuery(target.query(QUrl::FullyEncoded))};
}

std::optional<QString> tokenFromQuery(const QString &encodedQuery)
{
    if (encodedQuery.isEmpty())
        return std::nullopt;
    const QStringList items = encodedQuery.split(u'&');
    for (const QString &item : items) {
        const qsizetype equals = item.indexOf(u'=');
        const QString name = QUrl::fromPercentEncoding(item.left(equals < 0 ? item.size() : equals).toUtf8());
        if (name != u"token")
            continue;
        // Only the first item counts, even when it has no value.
        if (equals < 0)
            return std::nullopt;
        return QUrl::fromPercentEncoding(item.mid(equals + 1).toUtf8());
    }
    return std::nullopt;
}

QByteArray statusResponse(const QByteArray &status, const QByteArray &body)
{
    return "HTTP/1.1 " + status + "\r\nContent-Type: text/plain\r\nContent-Length: " + QByteArray::number(body.size()) +
        "\r\nConnection: close\r\n\r\n" + body;
}

QByteArray badRequest()
{
    return statusResponse("400 Bad Request", {});
}

QByteArray notFound()
{
    return statusResponse("404 Not Found", "Not Found");
}

QByteArray forbidden()
{
    return statusResponse("403 Forbidden", "Forbidden");
}

QByteArray imageNotFound()
{
    return statusResponse("404 Not Found", "Image not found");
}

QByteArray imageResponse(const QByteArray &image, const QString &fileName)
{
    return "HTTP/1.1 200 OK\r\nContent-Type: image/png\r\nContent-Length: " + QByteArray::number(image.size()) +
        "\r\nContent-Disposition: inline; filename=\"" + fileName.toUtf8() +
        "\"\r\nAccess-Control-Allow-Origin: *\r\nConnection: close\r\n\r\n" + image;
}

} // namespace Vexilo::ImageServerProtocol
