// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace Vexilo {

// A search text prepared once and tested against many clips. Clips keep their text as UTF-8, so the
// common case, a query in ASCII, is a case-insensitive byte search with no conversion at all; other
// queries compare with Unicode case folding.
class SearchQuery
{
public:
    SearchQuery() = default;
    // Trims white space and line breaks; nothing left means no search.
    explicit SearchQuery(QStringView query);

    [[nodiscard]] bool isEmpty() const { return m_folded.isEmpty(); }
    // The case-folded query in UTF-8.
    [[nodiscard]] const QByteArray &folded() const { return m_folded; }
    // True when every clip matching this query also matches `other` (this query extends it).
    [[nodiscard]] bool narrows(const SearchQuery &other) const;

    // Case-insensitive containment in UTF-8 text.
    [[nodiscard]] bool matches(QByteArrayView utf8) const;
    // The same for a short QString field.
    [[nodiscard]] bool matches(QStringView text) const;

private:
    QByteArray m_folded;
    QString m_text; // folded, for the non-ASCII comparison
    bool m_ascii = true;
    // For a query outside ASCII: every character that folds to its first non-ASCII character, in
    // UTF-8. A text containing none of them cannot match, and is not decoded at all.
    QList<QByteArray> m_anchors;
    QList<char32_t> m_codePoints; // the folded query
    qsizetype m_anchorIndex = 0; // position of the anchor in m_codePoints
    [[nodiscard]] bool matchesAround(QByteArrayView utf8, qsizetype anchorAt) const;
};

namespace SearchText {
// True when needle occurs in haystack, comparing ASCII letters without regard to case. The needle
// must be lower case. An empty needle is never found.
[[nodiscard]] bool containsAsciiCaseInsensitive(QByteArrayView haystack, QByteArrayView lowerNeedle);
} // namespace SearchText

} // namespace Vexilo
