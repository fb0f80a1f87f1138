// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <QUuid>
#include <optional>

// The local image server's HTTP: reading the one request of a connection and writing its response.
namespace Vexilo::ImageServerProtocol {

// The longest request head (request line and headers) read; a longer one is answered 400.
inline constexpr qsizetype maxRequestBytes = 8192;

// The request head at the front of bytes, up to and including the blank line that ends it; nothing
// while it may still be incomplete. Bytes that cannot be a head (too long, control bytes) are
// returned as they are, to be answered as a bad request.
[[nodiscard]] std::optional<QByteArray> takeRequestHead(const QByteArray &bytes);

// What a request asks for: either an answer that needs no further lookup (400 or 404), or the image
// of a clip, with the token it presented.
struct Request
{
    std::optional<QByteArray> immediateResponse;
    QUuid itemId;
    std::optional<QString> token;
};

[[nodiscard]] Request parseRequest(const QByteArray &bytes);

// The value of the first query item named exactly "token"; nothing when there is none or it has no
// value.
[[nodiscard]] std::optional<QString> tokenFromQuery(const QString &encodedQuery);

// "HTTP/1.1 <status>" with a plain-text body.
[[nodiscard]] QByteArray statusResponse(const QByteArray &status, const QByteArray &body);
[[nodiscard]] QByteArray badRequest();
[[nodiscard]] QByteArray notFound();
[[nodiscard]] QByteArray forbidden();
[[nodiscard]] QByteArray imageNotFound();
// "HTTP/1.1 200 OK" with the image, always labelled as PNG.
[[nodiscard]] QByteArray imageResponse(const QByteArray &image, const QString &fileName);

} // namespace Vexilo::ImageServerProtocol
