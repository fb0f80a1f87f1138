// SPDX-License-Identifier: MIT
#include "ClipType.h"

namespace Vexilo::ClipTypes {

QString rawValue(ClipType type)
{
    switch (type) {
    case ClipType::All:
        return QStringLiteral("All");
    case ClipType::Pinned:
        return QStringLiteral("Pinned");
    case ClipType::Snippets:
        return QStringLiteral("Snippets");
    case ClipType::Text:
        return QStringLiteral("Text");
    case ClipType::Image:
        return QStringLiteral("Image");
    case ClipType::Url:
        return QStringLiteral("Links");
    case ClipType::Code:
        return QStringLiteral("Code");
    case ClipType::File:
        return QStringLiteral("Files");
    }
    return {};
}

QString iconName(ClipType type)
{
    switch (type) {
    case ClipType::All:
        return QStringLiteral("tray.full.fill");
    case ClipType::Pinned:
        return QStringLiteral("pin.fill");
    case ClipType::Snippets:
        return QStringLiteral("text.badge.star");
    case ClipType::Text:
        return QStringLiteral("doc.text.fill");
    case ClipType::Image:
        return QStringLiteral("photo.fill");
    case ClipType::Url:
        return QStringLiteral("link");
    case ClipType::Code:
        return QStringLiteral("chevron.left.forwardslash.chevron.right");
    case ClipType::File:
        return QStringLiteral("folder.fill");
    }
    return {};
}

std::optional<ClipType> fromRawValue(QStringView raw)
{
    for (ClipType type : allCases) {
        if (raw == rawValue(type))
            return type;
    }
    return std::nullopt;
}

std::optional<ClipType> fromLabel(QStringView label)
{
    for (ClipType type : allCases) {
        if (label.compare(rawValue(type), Qt::CaseInsensitive) == 0)
            return type;
    }
    return std::nullopt;
}

} // namespace Vexilo::ClipTypes
