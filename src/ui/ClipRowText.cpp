// SPDX-License-Identifier: MIT
#include "ClipRowText.h"

using namespace Qt::StringLiterals;

namespace Vexilo::ClipRowText {

QString subtitle(const ClipItem &item)
{
    const bool hasApp = item.hasSourceAppName() && !item.sourceAppName().isEmpty();
    const QString gist = item.previewSnippet();
    if (!gist.isEmpty())
        return hasApp ? item.sourceAppName() + u": "_s + gist : gist;
    return hasApp ? u"from "_s + item.sourceAppName() : u"Clipboard item"_s;
}

QString tagsChip(const QStringList &tags)
{
    if (tags.isEmpty())
        return {};
    QString chip = u'#' + tags.first();
    if (tags.size() > 1)
        chip += u" +"_s + QString::number(tags.size() - 1);
    return chip;
}

QString categoryName(const ClipItem &item)
{
    return ClipTypes::rawValue(item.isSnippet() ? ClipType::Snippets : item.type());
}

QColor badgeTint(const ClipItem &item)
{
    if (item.isSnippet())
        return {};
    switch (item.type()) {
    case ClipType::Image:
        return QColor::fromRgbF(0.35f, 0.55f, 0.95f);
    case ClipType::Url:
        return QColor::fromRgbF(0.95f, 0.45f, 0.35f);
    case ClipType::Code:
        return QColor::fromRgbF(0.55f, 0.42f, 0.95f);
    case ClipType::File:
        return QColor::fromRgbF(0.85f, 0.62f, 0.28f);
    case ClipType::All:
    case ClipType::Pinned:
    case ClipType::Snippets:
    case ClipType::Text:
        break;
    }
    return {};
}

QString tileTint(const ClipItem &item)
{
    return !item.isSnippet() && item.type() == ClipType::Text ? u"secondary"_s : u"blue"_s;
}

QString visualKind(const ClipItem &item)
{
    if (item.isSnippet())
        return u"snippet"_s;
    if (item.type() == ClipType::Image)
        return u"image"_s;
    if (item.hasSourceAppBundleId() && !item.sourceAppBundleId().isEmpty())
        return u"app"_s;
    return u"tile"_s;
}

QString tileIcon(const ClipItem &item)
{
    if (item.isSnippet())
        return u"text.badge.star"_s;
    switch (item.type()) {
    case ClipType::Image:
        return u"photo.fill"_s;
    case ClipType::Url:
        return u"link"_s;
    case ClipType::Code:
        return u"chevron.left.forwardslash.chevron.right"_s;
    case ClipType::File:
        return u"folder.fill"_s;
    case ClipType::All:
    case ClipType::Pinned:
    case ClipType::Snippets:
    case ClipType::Text:
        break;
    }
    return u"doc.text.fill"_s;
}

QString language(const ClipItem &item)
{
    return item.hasDetectedLanguage() ? item.detectedLanguage().toUpper() : QString();
}

} // namespace Vexilo::ClipRowText
