// SPDX-License-Identifier: MIT
#include "StrictInteger.h"

namespace Vexilo {

std::optional<qint64> parseStrictInteger(QStringView text)
{
    const bool negative = text.startsWith(u'-');
    const QStringView digits = negative || text.startsWith(u'+') ? text.sliced(1) : text;
    if (digits.isEmpty())
        return std::nullopt;
    // Accumulated as a negative number, whose range includes the most negative value.
    qint64 value = 0;
    for (QChar c : digits) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        if (__builtin_mul_overflow(value, 10, &value) || __builtin_sub_overflow(value, c.unicode() - u'0', &value))
            return std::nullopt;
    }
    if (negative)
        return value;
    if (value == std::numeric_limits<qint64>::min())
        return std::nullopt;
    return -value;
}

} // namespace Vexilo
