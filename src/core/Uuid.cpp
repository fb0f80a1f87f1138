// SPDX-License-Identifier: MIT
#include "Uuid.h"

#include "Hex.h"

namespace Vexilo::Uuid {

namespace {

template<typename Char>
std::optional<QUuid> parseChars(const Char *text, qsizetype size)
{
    if (size != 36)
        return std::nullopt;
    char bytes[16];
    int out = 0;
    int high = -1;
    for (qsizetype i = 0; i < 36; ++i) {
        const auto c = char16_t(text[i]);
        if (i == 8 || i == 13 || i == 18 || i == 23) {
            if (c != u'-')
                return std::nullopt;
            continue;
        }
        const int value = Hex::digitValue(c);
        if (value < 0)
            return std::nullopt;
        if (high < 0) {
            high = value;
        } else {
            bytes[out++] = char((high << 4) | value);
            high = -1;
        }
    }
    return QUuid::fromRfc4122(QByteArrayView(bytes, 16));
}

} // namespace

std::optional<QUuid> parse(QByteArrayView text)
{
    return parseChars(reinterpret_cast<const unsigned char *>(text.data()), text.size());
}

std::optional<QUuid> parse(QStringView text)
{
    return parseChars(text.utf16(), text.size());
}

QString toText(const QUuid &id)
{
    return id.toString(QUuid::WithoutBraces).toUpper();
}

} // namespace Vexilo::Uuid
