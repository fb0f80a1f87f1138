// SPDX-License-Identifier: MIT
#include "ContentDetector.h"
#include "ContentDetector_p.h"
#include "TextUtils.h"

#include <QTextBoundaryFinder>
#include <QVarLengthArray>

#include <algorithm>

namespace Vexilo::ContentDetector {

namespace {

using namespace Detail;

// Grapheme count, but counting stops past limit so that a huge text costs nothing.
qsizetype graphemeCountUpTo(QStringView text, qsizetype limit)
{
    if (text.isEmpty())
        return 0;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text.data(), text.size());
    qsizetype count = 0;
    while (count <= limit && finder.toNextBoundary() != -1)
        ++count;
    return count;
}

int hexDigitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

// Decimal numbers are written in ASCII digits; other digits match \d but do not parse.
std::optional<int> parseComponent(QStringView digits)
{
    int value = 0;
    for (QChar c : digits) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

std::optional<double> parseAlpha(QStringView text)
{
    for (QChar c : text) {
        if (c.unicode() >= 0x80)
            return std::nullopt;
    }
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

bool isAsciiAlnum(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

bool looksLikeJson(QStringView text)
{
    const QChar first = text.front();
    const QChar last = text.back();
    return ((first == u'{' && last == u'}') || (first == u'[' && last == u']')) && isJsonDocument(text);
}

// What QUrl's strict parser accepts in a path, query or fragment: no blanks or control characters,
// none of "<>\^`{|} and DEL, and "%" only before two hex digits. Other characters are left as
// they are.
bool isStrictUrlTail(QStringView tail)
{
    auto isHex = [tail](qsizetype at) {
        const char16_t c = tail[at].unicode();
        return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
    };
    const qsizetype n = tail.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = tail[i].unicode();
        if (c >= 0x80)
            continue;
        if (c <= 0x20 || c == 0x7F)
            return false;
        switch (c) {
        case u'"':
        case u'<':
        case u'>':
        case u'\\':
        case u'^':
        case u'`':
        case u'{':
        case u'|':
        case u'}':
            return false;
        case u'%':
            if (i + 2 >= n || !isHex(i + 1) || !isHex(i + 2))
                return false;
            break;
        default:
            break;
        }
    }
    return true;
}

// An empty part that is present ("?" with nothing after it) must stay distinct from an absent one.
QString presentPart(QStringView part)
{
    return part.isEmpty() ? QStringLiteral("") : part.toString();
}

bool isShellScript(QStringView text)
{
    return text.startsWith(u"#!/bin/bash") || text.startsWith(u"#!/bin/zsh") || text.startsWith(u"#!/usr/bin/env");
}

bool isBlankOrTab(char16_t c)
{
    // ASCII first: the only blanks there are space and tab.
    return c < 0x80 ? c == u' ' || c == u'\t' : TextUtils::isBlankOrTab(c);
}

bool isCodeLine(QStringView line)
{
    qsizetype first = 0;
    qsizetype last = line.size() - 1;
    while (first <= last && isBlankOrTab(line[first].unicode()))
        ++first;
    while (last > first && isBlankOrTab(line[last].unicode()))
        --last;
    if (first > last)
        return false;
    const char16_t end = line[last].unicode();
    if (end == u';' || end == u'{' || end == u'}')
        return true;
    return last > first && line[first] == u'/' && (line[first + 1] == u'/' || line[first + 1] == u'*');
}

// At least four lines, of which at least 40 % end in ; { } or open a comment.
bool looksLikeGenericCode(QStringView text)
{
    qsizetype lines = 0;
    qsizetype codeLines = 0;
    for (qsizetype start = 0; start <= text.size();) {
        const qsizetype end = findLineBreak(text, start);
        ++lines;
        if (isCodeLine(text.sliced(start, end - start)))
            ++codeLines;
        start = end + 1;
    }
    return lines >= 4 && double(codeLines) / double(lines) >= 0.4;
}

QStringView trimmedBlanks(QStringView line)
{
    qsizetype first = 0;
    qsizetype end = line.size();
    while (first < end && isBlankOrTab(line[first].unicode()))
        ++first;
    while (end > first && isBlankOrTab(line[end - 1].unicode()))
        --end;
    return line.sliced(first, end - first);
}

bool startsWithTilde(QStringView line)
{
    return line == u"~" || line.startsWith(u"~/");
}

} // namespace

ColorDetection detectColor(QStringView text)
{
    const QStringView trimmed = TextUtils::trimmed(text);
    // hexRegex accepts "#" and at most eight digits, so longer texts need not be searched.
    const QRegularExpression *hex = hexRegex();
    if (hex && trimmed.size() <= 9 && hex->match(trimmed).hasMatch()) {
        const QString candidate = trimmed.startsWith(u'#') ? trimmed.toString() : QStringLiteral("#") + trimmed;
        if (const std::optional<ColorValue> color = nsColorFromHex(candidate))
            return {true, candidate.toUpper(), color};
    }
    if (const std::optional<RgbMatch> rgb = matchRgb(trimmed)) {
        const std::optional<int> red = parseComponent(rgb->red);
        const std::optional<int> green = parseComponent(rgb->green);
        const std::optional<int> blue = parseComponent(rgb->blue);
        if (!red || !green || !blue || *red > 255 || *green > 255 || *blue > 255)
            return {};
        double alpha = 1.0;
        if (rgb->alpha) {
            if (const std::optional<double> value = parseAlpha(*rgb->alpha))
                alpha = *value;
        }
        const QString hexText = QString::asprintf("#%02X%02X%02X", *red, *green, *blue);
        return {true, hexText, ColorValue{*red / 255.0, *green / 255.0, *blue / 255.0, alpha}};
    }
    return {};
}

std::optional<ColorValue> nsColorFromHex(QStringView hex)
{
    QStringView digits = TextUtils::trimmed(hex);
    if (digits.startsWith(u'#'))
        digits = digits.sliced(1);
    // Read as a number from the start; at most eight digits matter for any accepted length.
    quint64 value = 0;
    qsizetype read = 0;
    while (read < digits.size() && read < 16) {
        const int digit = hexDigitValue(digits[read]);
        if (digit < 0)
            break;
        value = (value << 4) | quint64(digit);
        ++read;
    }
    if (read == 0)
        return std::nullopt;
    auto channel = [value](int shift) { return double((value >> shift) & 0xFF) / 255.0; };
    switch (graphemeCountUpTo(digits, 8)) {
    case 8:
        return ColorValue{channel(24), channel(16), channel(8), channel(0)};
    case 6:
        return ColorValue{channel(16), channel(8), channel(0), 1.0};
    case 3: {
        auto nibble = [value](int shift) { return double(((value >> shift) & 0xF) * 17) / 255.0; };
        return ColorValue{nibble(8), nibble(4), nibble(0), 1.0};
    }
    default:
        return std::nullopt;
    }
}

namespace {

// The link test, with what a match returns left to the caller: the URL or just the flag.
template<typename Result, typename Build>
Result linkTest(QStringView text, Build build)
{
    const QStringView trimmed = TextUtils::trimmed(text);
    if (trimmed.isEmpty())
        return {};
    // A host needs "scheme://", so only texts starting that way can pass the first step.
    bool parsedAsIs = false;
    if (trimmed.startsWith(u"http://", Qt::CaseInsensitive) || trimmed.startsWith(u"https://", Qt::CaseInsensitive) ||
        trimmed.startsWith(u"ftp://", Qt::CaseInsensitive)) {
        if (isUrlWithHost({}, trimmed))
            return build(QStringView(), trimmed);
        parsedAsIs = true;
    }
    if (!matchesDomain(trimmed))
        return {};
    const bool hasWebPrefix = trimmed.startsWith(u"http://") || trimmed.startsWith(u"https://");
    // An http(s) text that failed above is invalid or has no host, and would fail again.
    if (hasWebPrefix && parsedAsIs)
        return {};
    const QStringView prefix = hasWebPrefix ? QStringView() : QStringView(u"https://");
    return isUrlWithHost(prefix, trimmed) ? build(prefix, trimmed) : Result{};
}

} // namespace

UrlDetection detectURL(QStringView text)
{
    return linkTest<UrlDetection>(text, [](QStringView prefix, QStringView trimmed) {
        const std::optional<QUrl> url = parseUrlWithHost(prefix, trimmed);
        Q_ASSERT(url);
        return UrlDetection{url.has_value(), url.value_or(QUrl())};
    });
}

bool isURL(QStringView text)
{
    return linkTest<bool>(text, [](QStringView, QStringView) { return true; });
}

CodeDetection detectCode(QStringView text)
{
    const QStringView trimmed = TextUtils::trimmed(text);
    if (trimmed.isEmpty())
        return {};
    auto language = [](const char16_t *name) { return CodeDetection{true, QString::fromUtf16(name)}; };
    if (looksLikeJson(trimmed))
        return language(u"json");
    if (matchesHtml(trimmed))
        return language(u"html");
    const MarkerScores scores = scoreMarkers(trimmed);
    if (scores.swift >= 2)
        return language(u"swift");
    if (scores.python >= 2 && trimmed.contains(u':'))
        return language(u"python");
    if (scores.javascript >= 2)
        return language(u"javascript");
    if (scores.sql >= 2)
        return language(u"sql");
    if (isShellScript(trimmed))
        return language(u"bash");
    if (containsCssBlock(trimmed))
        return language(u"css");
    if (looksLikeGenericCode(trimmed))
        return language(u"code");
    return {};
}

FilePathDetection detectFilePath(QStringView text, const QString &homeDirectory, const QString &workingDirectory)
{
    const QStringView trimmed = TextUtils::trimmed(text);
    if (trimmed.isEmpty())
        return {};
    // Lines that could name something: non-empty, and short enough to be looked up at all.
    qsizetype start = 0;
    auto nextCandidate = [trimmed, &start](QStringView &line) {
        while (start <= trimmed.size()) {
            const qsizetype end = findLineBreak(trimmed, start);
            line = trimmedBlanks(trimmed.sliced(start, end - start));
            start = end + 1;
            if (!line.isEmpty() && line.size() < PathExistence::maxPathBytes)
                return true;
        }
        return false;
    };
    // How the paths are looked up depends on how many there are; a few are read ahead to tell.
    constexpr qsizetype lookAhead = 64;
    QVarLengthArray<QStringView, lookAhead> head;
    QStringView line;
    while (head.size() < lookAhead && nextCandidate(line))
        head.append(line);
    PathExistence existence(workingDirectory, head.size() < lookAhead ? head.size() : trimmed.size());
    FilePathDetection result;
    // A line that repeats the one before gets its answer: texts of a million equal lines exist.
    QStringView previous;
    bool previousExists = false;
    auto keepIfExists = [&](QStringView candidate) {
        if (candidate != previous) {
            previous = candidate;
            previousExists = startsWithTilde(candidate) ? existence.exists(QString(homeDirectory + candidate.sliced(1)))
                                                        : existence.exists(candidate);
        }
        if (previousExists)
            result.paths.append(startsWithTilde(candidate) ? homeDirectory + candidate.sliced(1)
                                                           : candidate.toString());
    };
    for (QStringView candidate : std::as_const(head))
        keepIfExists(candidate);
    while (nextCandidate(line))
        keepIfExists(line);
    result.isFileList = !result.paths.isEmpty();
    return result;
}

namespace Detail {

namespace {

// Where QUrl's parser splits prefix + text (offsets into text): the fragment starts at the first
// "#", the query at the first "?" before it, and the authority, right after "//", runs to the
// first "/" before either.
struct UrlParts
{
    qsizetype authorityStart = 0;
    qsizetype authorityEnd = 0;
    qsizetype hierarchyEnd = 0;
    qsizetype question = -1;
    qsizetype hash = 0;
};

std::optional<UrlParts> splitUrl(QStringView prefix, QStringView text)
{
    UrlParts parts;
    parts.authorityStart = prefix.isEmpty() ? text.indexOf(u"://") + 3 : 0;
    if (prefix.isEmpty() && parts.authorityStart < 3)
        return std::nullopt;
    parts.hash = text.indexOf(u'#');
    if (parts.hash < 0)
        parts.hash = text.size();
    parts.question = text.first(parts.hash).indexOf(u'?');
    parts.hierarchyEnd = parts.question >= 0 ? parts.question : parts.hash;
    parts.authorityEnd = text.first(parts.hierarchyEnd).indexOf(u'/', parts.authorityStart);
    if (parts.authorityEnd < 0)
        parts.authorityEnd = parts.hierarchyEnd;
    return parts;
}

bool isHexDigit(char16_t c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// The user info as QUrl's strict parser checks it: no blanks or control characters, none of
// "<>\^`{|} and DEL nor /?#[]@, and "%" only before two hex digits.
bool isValidUserInfo(QStringView userInfo)
{
    const qsizetype n = userInfo.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = userInfo[i].unicode();
        if (c >= 0x80)
            continue;
        if (c <= 0x20 || c == 0x7F || QByteArrayView("\"<>\\^`{|}/?#[]@").contains(char(c)))
            return false;
        if (c == u'%' &&
            (i + 2 >= n || !isHexDigit(userInfo[i + 1].unicode()) || !isHexDigit(userInfo[i + 2].unicode())))
            return false;
    }
    return true;
}

// Host names made of letters, digits, hyphens and dots, decided as QUrl would: labels of more
// than 63 characters are refused, and dot-separated labels of 1 to 63 characters, without a hyphen
// at either end or in the third and fourth place (where IDNA has its own rules), are taken as they
// are apart from case, with one dot allowed at the end. nullopt for anything else, and for what
// could be read as an IPv4 address.
std::optional<bool> checkPlainHostName(QStringView host)
{
    qsizetype labels = 0;
    bool couldBeAddress = true;
    bool plain = true;
    for (qsizetype start = 0; start < host.size();) {
        qsizetype end = host.indexOf(u'.', start);
        if (end < 0)
            end = host.size();
        const QStringView label = host.sliced(start, end - start);
        if (label.size() > 63 &&
            std::all_of(label.begin(), label.end(), [](QChar c) { return isAsciiAlnum(c.unicode()) || c == u'-'; }))
            return false;
        if (label.isEmpty() || label.size() > 63 || label.front() == u'-' || label.back() == u'-' ||
            (label.size() >= 4 && label[2] == u'-' && label[3] == u'-'))
            plain = false;
        bool digits = true;
        for (QChar c : label) {
            const char16_t u = c.unicode();
            if (!isAsciiAlnum(u) && u != u'-')
                plain = false;
            digits = digits && u >= u'0' && u <= u'9';
        }
        // inet_aton() forms: decimal, octal or "0x" hexadecimal parts.
        const bool hexadecimal = label.size() >= 2 && label[0] == u'0' && (label[1] == u'x' || label[1] == u'X');
        couldBeAddress = couldBeAddress && (digits || hexadecimal);
        ++labels;
        start = end + 1;
    }
    if (!plain || labels == 0 || (couldBeAddress && labels <= 4))
        return std::nullopt;
    return true;
}

} // namespace

std::optional<bool> checkAuthority(QStringView authority)
{
    // The split of QUrlPrivate::setAuthority(): user info up to the first "@", then a port after
    // the last ":" unless that is inside an IP literal.
    const qsizetype n = authority.size();
    qsizetype from = 0;
    if (const qsizetype at = authority.indexOf(u'@'); at >= 0) {
        if (!isValidUserInfo(authority.first(at)))
            return false;
        from = at + 1;
    }
    if (from < n && authority[from] == u'[')
        return std::nullopt;
    qsizetype hostEnd = n;
    if (const qsizetype colon = authority.lastIndexOf(u':'); colon >= from) {
        // Digits are read into an unsigned long that may wrap, as QUrl does.
        unsigned long port = 0;
        for (qsizetype i = colon + 1; i < n; ++i) {
            const char16_t c = authority[i].unicode();
            if (c < u'0' || c > u'9')
                return false;
            port = port * 10 + (c - u'0');
        }
        if (port != static_cast<unsigned short>(port))
            return false;
        hostEnd = colon;
    }
    const QStringView host = authority.sliced(from, hostEnd - from);
    if (host.isEmpty())
        return false;
    return checkPlainHostName(host);
}

bool isUrlWithHost(QStringView prefix, QStringView text)
{
    const std::optional<UrlParts> parts = splitUrl(prefix, text);
    if (!parts || !isStrictUrlTail(text.sliced(parts->authorityEnd)))
        return false;
    const QStringView authority = text.sliced(parts->authorityStart, parts->authorityEnd - parts->authorityStart);
    if (const std::optional<bool> quick = checkAuthority(authority))
        return *quick;
    const QUrl url(prefix + text.first(parts->authorityEnd), QUrl::StrictMode);
    return url.isValid() && !url.host().isEmpty();
}

std::optional<QUrl> parseUrlWithHost(QStringView prefix, QStringView text)
{
    const std::optional<UrlParts> parts = splitUrl(prefix, text);
    if (!parts)
        return std::nullopt;
    // Scheme and authority decide the host and most errors; the rest can only add an error.
    QUrl url(prefix + text.first(parts->authorityEnd), QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty() || !isStrictUrlTail(text.sliced(parts->authorityEnd)))
        return std::nullopt;
    // The parts are known to be valid, so the tolerant setters store them as the strict parser would.
    const qsizetype n = text.size();
    if (parts->hierarchyEnd > parts->authorityEnd)
        url.setPath(text.sliced(parts->authorityEnd, parts->hierarchyEnd - parts->authorityEnd).toString(),
                    QUrl::TolerantMode);
    if (parts->question >= 0)
        url.setQuery(presentPart(text.sliced(parts->question + 1, parts->hash - parts->question - 1)),
                     QUrl::TolerantMode);
    if (parts->hash < n)
        url.setFragment(presentPart(text.sliced(parts->hash + 1)), QUrl::TolerantMode);
    return url;
}

} // namespace Detail

} // namespace Vexilo::ContentDetector
