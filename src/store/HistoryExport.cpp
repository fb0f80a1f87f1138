// SPDX-License-Identifier: MIT
#include "HistoryExport.h"

#include "ClipJson.h"
#include "ReferenceDate.h"

namespace Vexilo::HistoryExport {

namespace {
const QString fence = QStringLiteral("```");

QString formatDate(double date, const QLocale &locale)
{
    return locale.toString(ReferenceDate::toDateTime(date).toLocalTime(), QLocale::ShortFormat);
}
} // namespace

QString defaultJsonFileName(qint64 unixSeconds)
{
    return QStringLiteral("vexilo_export_%1.json").arg(unixSeconds);
}

QString defaultMarkdownFileName(qint64 unixSeconds)
{
    return QStringLiteral("vexilo_history_%1.md").arg(unixSeconds);
}

QByteArray json(const QList<ClipItem> &items)
{
    return ClipJson::encodeHistoryPretty(items);
}

QString markdown(const QList<ClipItem> &items, double exportedAt, const QLocale &locale)
{
    QString out =
        QStringLiteral("# Vexilo History Export\nExported: ") + formatDate(exportedAt, locale) + QStringLiteral("\n\n");
    for (const ClipItem &item : items) {
        out += QStringLiteral("## [") + ClipTypes::rawValue(item.type()) + QStringLiteral("] ") + item.previewTitle();
        if (!item.tags().isEmpty())
            out += QStringLiteral(" (Tags: #") + item.tags().join(QStringLiteral(", #")) + u')';
        out += u'\n';
        out += QStringLiteral("- **Date**: ") + formatDate(item.createdAt(), locale) + u'\n';
        if (item.hasSourceAppName())
            out += QStringLiteral("- **App**: ") + item.sourceAppName() + u'\n';
        if (item.hasTextContent()) {
            if (item.type() == ClipType::Code) {
                out += u'\n' + fence + (item.hasDetectedLanguage() ? item.detectedLanguage() : QString()) + u'\n' +
                    item.textContent() + u'\n' + fence + QStringLiteral("\n\n");
            } else {
                QString quoted = item.textContent();
                quoted.replace(u'\n', QStringLiteral("\n> "));
                out += QStringLiteral("\n> ") + quoted + QStringLiteral("\n\n");
            }
        }
        if (item.hasExtractedText()) {
            out += QStringLiteral("**OCR Extracted Text:**\n") + fence + u'\n' + item.extractedText() + u'\n' + fence +
                QStringLiteral("\n\n");
        }
        out += QStringLiteral("---\n\n");
    }
    return out;
}

} // namespace Vexilo::HistoryExport
