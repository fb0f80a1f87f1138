// SPDX-License-Identifier: MIT
// The image server's request reading on arbitrary bytes, as they may arrive in two segments.
#include "ImageServerProtocol.h"
#include "Uuid.h"

#include <QUrl>

#include <cstdlib>

using namespace Vexilo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks where the first segment ends.
    const QByteArray bytes(reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1));
    const qsizetype split = bytes.isEmpty() ? 0 : data[0] * 37 % bytes.size();
    const std::optional<QByteArray> head = ImageServerProtocol::takeRequestHead(bytes);
    // A head found in the first segment must be the one the whole request has.
    const std::optional<QByteArray> early = ImageServerProtocol::takeRequestHead(bytes.first(split));
    if (early && early != head)
        std::abort();
    if (!head)
        return 0;
    if (!bytes.startsWith(*head) || head->size() > ImageServerProtocol::maxRequestBytes)
        std::abort();

    const ImageServerProtocol::Request request = ImageServerProtocol::parseRequest(*head);
    if (request.immediateResponse)
        return 0;
    // The same image asked for in the plainest way reads the same.
    QByteArray plain = "GET /image/" + Uuid::toText(request.itemId).toLatin1();
    if (request.token)
        plain += "?token=" + QUrl::toPercentEncoding(*request.token);
    const ImageServerProtocol::Request again = ImageServerProtocol::parseRequest(plain + " HTTP/1.1\r\n\r\n");
    if (again.immediateResponse || again.itemId != request.itemId || again.token != request.token)
        std::abort();
    return 0;
}
