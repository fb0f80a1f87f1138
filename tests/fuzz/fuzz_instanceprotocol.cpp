// SPDX-License-Identifier: MIT
// The instance socket's framing: arbitrary bytes from a peer, and framed messages read back from a
// stream that arrives in pieces of any size.
#include "InstanceProtocol.h"

#include <QJsonArray>
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>

using namespace Vexilo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Every message taken shortens the buffer, whatever a peer sends.
    QByteArray raw(reinterpret_cast<const char *>(data), qsizetype(size));
    for (qsizetype before = raw.size(); InstanceProtocol::takeMessage(raw); before = raw.size()) {
        if (raw.size() >= before)
            std::abort();
    }

    FuzzedDataProvider in(data, size);
    const int piece = in.ConsumeIntegralInRange(1, 64);
    QList<QJsonObject> sent;
    QByteArray stream;
    while (in.remaining_bytes() > 0 && sent.size() < 16) {
        const QString text = QString::fromStdString(in.ConsumeRandomLengthString(256));
        sent.append({{QStringLiteral("type"), InstanceProtocol::commandRequest},
                     {QStringLiteral("arguments"), QJsonArray{text, text.size()}}});
        stream += InstanceProtocol::frame(sent.last());
    }
    QList<QJsonObject> received;
    QByteArray buffer;
    for (qsizetype at = 0; at < stream.size(); at += piece) {
        buffer += stream.mid(at, piece);
        for (std::optional<QJsonObject> message;
             received.size() <= sent.size() && (message = InstanceProtocol::takeMessage(buffer));)
            received.append(*message);
    }
    if (received != sent || !buffer.isEmpty())
        std::abort();
    return 0;
}
