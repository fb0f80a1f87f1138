// SPDX-License-Identifier: MIT
#include "ContentDetector.h"
#include "ContentDetector_p.h"
#include "Hex.h"
#include "TextUtils.h"

#include <QTextBoundaryFinder>
#include <QVarLengthArray>

#include <algorithm>
#include <string_view>

namespace Vexilo::ContentDetector {

namespace {

using namespace Detail;
using TextUtils::findLineBreak;
using TextUtils::isBlankOrTab;

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

bool looksLikeJson(QStringView text)
{
    const QChar first = text.front();
    const QChar last = text.back();
    return ((first == u'{' && last == u'}') || (first == u'[' && last == u']')) && isJsonDocument(text);
}

bool isShellScript(QStringView text)
{
    return text.startsWith(u"#!/bin/bash") || text.startsWith(u"#!/bin/zsh") || text.startsWith(u"#!/usr/bin/env");
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
    // Read as a number from the start. An accepted length has at most eight characters, so
    // stopping at sixteen digits changes nothing and cannot overflow.
    quint64 value = 0;
    qsizetype read = 0;
    while (read < digits.size() && read < 16) {
        const int digit = Hex::digitValue(digits[read].unicode());
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

// Schemes are ASCII: Unicode case folding would let "ſ" stand for "s".
bool startsWithAsciiCaseInsensitive(QStringView text, std::string_view lowerPrefix)
{
    if (text.size() < qsizetype(lowerPrefix.size()))
        return false;
    for (std::size_t i = 0; i < lowerPrefix.size(); ++i) {
        char16_t c = text[qsizetype(i)].unicode();
        if (c >= u'A' && c <= u'Z')
            c += u'a' - u'A';
        if (c != char16_t(lowerPrefix[i]))
            return false;
    }
    return true;
}

// The link test, with what a match returns left to the caller: the URL or just the flag.
template<typename Result, typename Build>
Result linkTest(QStringView text, Build build)
{
    const QStringView trimmed = TextUtils::trimmed(text);
    if (trimmed.isEmpty())
        return {};
    // A host needs "scheme://", so only texts starting that way can pass the first step.
    bool parsedAsIs = false;
    if (startsWithAsciiCaseInsensitive(trimmed, "http://") || startsWithAsciiCaseInsensitive(trimmed, "https://") ||
        startsWithAsciiCaseInsensitive(trimmed, "ftp://")) {
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

} // namespace Vexilo::ContentDetector
