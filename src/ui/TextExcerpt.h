// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

namespace Vexilo::TextExcerpt {

// The first at most maxCharacters code points of UTF-8 text, decoded. Only the bytes shown are
// read, so a text of many megabytes costs no more than its first screens.
struct Excerpt
{
    QString text;
    bool truncated = false;
};
[[nodiscard]] Excerpt head(QByteArrayView utf8, qsizetype maxCharacters);

// The text cut into pieces of at most about targetSize characters, so that a view lays out only the
// pieces on screen. Cuts fall on line breaks (which they replace), else on white space, else
// anywhere but inside a surrogate pair. A text within targetSize is one piece.
[[nodiscard]] QStringList pieces(const QString &text, qsizetype targetSize);

// 10485760 → "10,485,760", whatever the locale: the texts around it are English.
[[nodiscard]] QString groupedNumber(qint64 value);

// "Showing the first 200,000 of 10,485,760 characters"; without a total (not counted yet),
// "Showing the first 200,000 characters".
[[nodiscard]] QString truncationLine(qint64 shown, qint64 total, const QString &unit);

} // namespace Vexilo::TextExcerpt
