// SPDX-License-Identifier: MIT
#pragma once

// Internals of ContentDetector, shared with its tests. The hand-written matchers give the same
// answers as the regular expressions they stand for, in linear time on any input.

#include <QByteArray>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QString>
#include <QStringView>
#include <QUrl>

#include "TextUtils.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <optional>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Vexilo::ContentDetector::Detail {

// The patterns, compiled on first use; null when a pattern does not compile.
[[nodiscard]] const QRegularExpression *hexRegex();
[[nodiscard]] const QRegularExpression *rgbRegex();
[[nodiscard]] const QRegularExpression *domainRegex();
[[nodiscard]] const QRegularExpression *htmlRegex();
[[nodiscard]] const QRegularExpression *cssRegex();

// \s and \d as the regex engine reads them with Unicode properties: \s is \p{Z}, \h and \v, that
// is Qt's white space plus U+180E; \d is \p{Nd}.
[[nodiscard]] inline bool isPatternSpace(char32_t c)
{
    return QChar::isSpace(c) || c == 0x180E;
}
[[nodiscard]] inline bool isPatternDigit(char32_t c)
{
    return QChar::isDigit(c);
}

// Index of the first line-break character (as TextUtils::isLineBreak) at or after from, or size.
// Inline, as texts of a million short lines call it once per line.
[[nodiscard]] inline qsizetype findLineBreak(QStringView text, qsizetype from)
{
    const char16_t *data = text.utf16();
    const qsizetype n = text.size();
    qsizetype i = from;
    for (const qsizetype head = std::min(n, from + 8); i < head; ++i) {
        if (TextUtils::isLineBreak(data[i]))
            return i;
    }
#if defined(__SSE2__)
    // Eight code units at a time: U+000A..U+000D, U+0085, U+2028 and U+2029.
    const __m128i first = _mm_set1_epi16(0x0A);
    const __m128i span = _mm_set1_epi16(3);
    const __m128i nextLine = _mm_set1_epi16(0x85);
    const __m128i separator = _mm_set1_epi16(0x2028);
    const __m128i zero = _mm_setzero_si128();
    for (; i + 8 <= n; i += 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i *>(data + i));
        const __m128i control = _mm_cmpeq_epi16(_mm_subs_epu16(_mm_sub_epi16(units, first), span), zero);
        const __m128i separators = _mm_cmpeq_epi16(_mm_srli_epi16(_mm_sub_epi16(units, separator), 1), zero);
        const __m128i hits = _mm_or_si128(_mm_or_si128(control, separators), _mm_cmpeq_epi16(units, nextLine));
        if (const int mask = _mm_movemask_epi8(hits))
            return i + std::countr_zero(unsigned(mask)) / 2;
    }
#endif
    for (; i < n; ++i) {
        if (TextUtils::isLineBreak(data[i]))
            return i;
    }
    return n;
}

struct RgbMatch
{
    QStringView red;
    QStringView green;
    QStringView blue;
    std::optional<QStringView> alpha; // set when the fourth group took part, possibly empty
};

// These take trimmed text, so "$" never meets a final line break.
[[nodiscard]] std::optional<RgbMatch> matchRgb(QStringView text); // rgbRegex
[[nodiscard]] bool matchesDomain(QStringView text); // domainRegex
[[nodiscard]] bool matchesHtml(QStringView text); // htmlRegex
[[nodiscard]] bool containsCssBlock(QStringView text); // cssRegex, found anywhere

// Whether the text is one JSON object or array, by the rules of JsonReader.
[[nodiscard]] bool isJsonDocument(QStringView text);

// QUrl(prefix + text, QUrl::StrictMode) when that is valid and has a host. The text must start
// with "scheme://" unless prefix is that, with a scheme QUrl accepts. A long path, query or
// fragment is checked by hand and copied once, instead of building prefix + text and having QUrl
// copy it again.
[[nodiscard]] std::optional<QUrl> parseUrlWithHost(QStringView prefix, QStringView text);
// parseUrlWithHost(prefix, text).has_value(), deciding the common forms without QUrl.
[[nodiscard]] bool isUrlWithHost(QStringView prefix, QStringView text);
// Whether QUrl's strict parser takes this authority ("user@host:port") and finds a host in it,
// where that is quick to tell; nullopt when it takes QUrl (IP addresses, international or unusual
// host names).
[[nodiscard]] std::optional<bool> checkAuthority(QStringView authority);

struct MarkerScores
{
    int swift = 0;
    int python = 0;
    int javascript = 0;
    int sql = 0; // counted in the upper-cased text
};

enum class MarkerScan : quint8 { Complete, StopAtSwift };
// Number of distinct markers of each list found in one pass. StopAtSwift may stop as soon as two
// Swift markers are seen, because nothing else matters then; the other scores are partial.
[[nodiscard]] MarkerScores scoreMarkers(QStringView text, MarkerScan scan = MarkerScan::StopAtSwift);

[[nodiscard]] QList<QLatin1StringView> swiftMarkers();
[[nodiscard]] QList<QLatin1StringView> pythonMarkers();
[[nodiscard]] QList<QLatin1StringView> javaScriptMarkers();
[[nodiscard]] QList<QLatin1StringView> sqlKeywords();

// Code points outside ASCII whose upper-case form contains ASCII characters (ß -> SS, ﬁ -> FI, ...).
[[nodiscard]] bool upperCaseContainsAscii(char32_t c);

// Answers "does something exist at this path" (stat() semantics: symlinks followed) for many paths.
// With many lookups it reads each parent directory once and only stats names that are listed there,
// because a stat() per line is far too slow for a text of 100,000 lines. Directories whose listing
// might not be authoritative (case-folding, network or virtual file systems) are always stat()ed.
class PathExistence
{
public:
    enum class Strategy : quint8 { Auto, StatOnly, Listings };

    // Paths of this many bytes or more cannot be looked up (ENAMETOOLONG).
#if defined(PATH_MAX)
    static constexpr qsizetype maxPathBytes = PATH_MAX;
#else
    static constexpr qsizetype maxPathBytes = 4096;
#endif

    // Relative paths are resolved against workingDirectory (the process's when empty). lookups is
    // about how many paths will be asked for, or an upper bound of that.
    PathExistence(const QString &workingDirectory, qsizetype lookups, Strategy strategy = Strategy::Auto);
    ~PathExistence();
    PathExistence(const PathExistence &) = delete;
    PathExistence &operator=(const PathExistence &) = delete;

    [[nodiscard]] bool exists(QStringView path);

    // Number of stat() calls so far; lets tests check that listings are really used.
    [[nodiscard]] qsizetype statCount() const
    {
        return m_statCount;
    }

private:
    struct Directory
    {
        enum class State : quint8 { Missing, Listed, Unlisted };
        State state = State::Unlisted;
        QSet<QByteArray> names;
    };

    [[nodiscard]] bool statNative(const QByteArray &path);
    const Directory &directory(const QByteArray &path, int depth);
    Directory list(const QByteArray &path) const;
    [[nodiscard]] int baseFor(const QByteArray &path) const;

    QByteArray m_workingDirectory;
    int m_workingFd = -1;
    bool m_useListings = false;
    qsizetype m_listingLimit = 0;
    qsizetype m_statCount = 0;
    std::optional<Directory> m_workingListing;
    QHash<QByteArray, Directory> m_directories;
};

} // namespace Vexilo::ContentDetector::Detail
