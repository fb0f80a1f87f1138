// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArrayView>
#include <QString>

namespace Vexilo::TextExcerpt {

// The first at most maxCharacters code points of UTF-8 text, decoded. Only the bytes shown are
// read, so a text of many megabytes costs no more than its first screens.
struct Excerpt
{
    QString text;
    bool truncated = false;
};
[[nodiscard]] Excerpt head(QByteArrayView utf8, qsizetype maxCharacters);

// 10485760 → "10,485,760", whatever the locale: the texts around it are English.
[[nodiscard]] QString groupedNumber(qint64 value);

// "Showing the first 200,000 of 10,485,760 characters"; without a total (not counted yet),
// "Showing the first 200,000 characters".
[[nodiscard]] QString truncationLine(qint64 shown, qint64 total, const QString &unit);

} // namespace Vexilo::TextExcerpt
