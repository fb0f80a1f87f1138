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
#include <climits>
#include <optional>

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

} // namespace Vexilo::ContentDetector::Detail
