// SPDX-License-Identifier: MIT
#pragma once

#include <QDateTime>

namespace Vexilo::ReferenceDate {

// Clip dates are seconds (with fraction) since 2001-01-01 00:00:00 UTC, the form of the history file.
inline constexpr qint64 unixOffsetSeconds = 978307200;

[[nodiscard]] inline double fromUnixMilliseconds(qint64 ms)
{
    return double(ms - unixOffsetSeconds * 1000) / 1000.0;
}
[[nodiscard]] inline double fromDateTime(const QDateTime &dateTime)
{
    return fromUnixMilliseconds(dateTime.toMSecsSinceEpoch());
}
[[nodiscard]] inline QDateTime toDateTime(double seconds)
{
    return QDateTime::fromMSecsSinceEpoch(qint64((seconds + double(unixOffsetSeconds)) * 1000.0), Qt::UTC);
}
[[nodiscard]] inline double now()
{
    return fromUnixMilliseconds(QDateTime::currentMSecsSinceEpoch());
}

} // namespace Vexilo::ReferenceDate
