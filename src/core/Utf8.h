// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace Vexilo::Utf8 {

// Strict validation: no overlong forms, no surrogates, nothing above U+10FFFF.
[[nodiscard]] bool isValid(QByteArrayView bytes);

// Writes the code point's UTF-8 form (one to four bytes) to out and returns its length.
inline int encode(char32_t cp, char *out)
{
    if (cp < 0x80) {
        out[0] = char(cp);
        return 1;
    }
    if (cp < 0x800) {
        out[0] = char(0xC0 | (cp >> 6));
        out[1] = char(0x80 | (cp & 0x3F));
        return 2;
    }
    if (cp < 0x10000) {
        out[0] = char(0xE0 | (cp >> 12));
        out[1] = char(0x80 | ((cp >> 6) & 0x3F));
        out[2] = char(0x80 | (cp & 0x3F));
        return 3;
    }
    out[0] = char(0xF0 | (cp >> 18));
    out[1] = char(0x80 | ((cp >> 12) & 0x3F));
    out[2] = char(0x80 | ((cp >> 6) & 0x3F));
    out[3] = char(0x80 | (cp & 0x3F));
    return 4;
}

inline void append(QByteArray &out, char32_t cp)
{
    char buffer[4];
    out.append(buffer, encode(cp, buffer));
}

} // namespace Vexilo::Utf8
