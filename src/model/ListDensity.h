// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <array>

namespace Vexilo {

enum class ListDensity : quint8 { Comfortable, Compact };

namespace ListDensities {
inline constexpr std::array<ListDensity, 2> allCases = {ListDensity::Comfortable, ListDensity::Compact};

[[nodiscard]] inline QString rawValue(ListDensity density)
{
    return density == ListDensity::Compact ? QStringLiteral("compact") : QStringLiteral("comfortable");
}
[[nodiscard]] inline QString label(ListDensity density)
{
    return density == ListDensity::Compact ? QStringLiteral("Compact") : QStringLiteral("Comfortable");
}
// Anything other than exactly "compact" reads as comfortable.
[[nodiscard]] inline ListDensity fromRawValue(QStringView raw)
{
    return raw == u"compact" ? ListDensity::Compact : ListDensity::Comfortable;
}
[[nodiscard]] inline int rowVerticalPadding(ListDensity density)
{
    return density == ListDensity::Compact ? 5 : 8;
}
[[nodiscard]] inline int avatarSize(ListDensity density)
{
    return density == ListDensity::Compact ? 30 : 38;
}
} // namespace ListDensities

} // namespace Vexilo
