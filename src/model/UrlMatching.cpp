// SPDX-License-Identifier: MIT
#include "ContentDetector_p.h"

namespace Vexilo::ContentDetector::Detail {

namespace {

bool isAsciiAlnum(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

// A hex digit after "%" as QUrl's strict parser tells one: by the low byte of the code unit alone,
// folded to lower case, so U+0334 passes for "4". Control characters that pass are refused on their
// own account.
bool isPercentDigit(char16_t c)
{
    const char16_t low = (c & 0xFF) | 0x20;
    return (low >= u'0' && low <= u'9') || (low >= u'a' && low <= u'f');
}

// What QUrl's strict parser accepts in a path, query or fragment: no blanks or control characters,
// none of "<>\^`{|} and DEL, and "%" only before two hex digits. Other characters are left as
// they are.
bool isStrictUrlTail(QStringView tail)
{
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
            if (i + 2 >= n || !isPercentDigit(tail[i + 1].unicode()) || !isPercentDigit(tail[i + 2].unicode()))
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
            (i + 2 >= n || !isPercentDigit(userInfo[i + 1].unicode()) || !isPercentDigit(userInfo[i + 2].unicode())))
            return false;
    }
    return true;
}

// Host names made of letters, digits, hyphens and dots, decided as QUrl would: labels of more
// than 63 characters are refused unless they may be part of an IPv4 address (leading zeros can make
// any number that long), and dot-separated labels of 1 to 63 characters, without a hyphen
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
        if (label.isEmpty() || label.size() > 63 || label.front() == u'-' || label.back() == u'-' ||
            (label.size() >= 4 && label[2] == u'-' && label[3] == u'-'))
            plain = false;
        bool digits = true;
        bool nameCharacters = true;
        for (QChar c : label) {
            const char16_t u = c.unicode();
            nameCharacters = nameCharacters && (isAsciiAlnum(u) || u == u'-');
            digits = digits && u >= u'0' && u <= u'9';
        }
        plain = plain && nameCharacters;
        // inet_aton() forms: decimal, octal or "0x" hexadecimal parts.
        const bool hexadecimal = label.size() >= 2 && label[0] == u'0' && (label[1] == u'x' || label[1] == u'X');
        if (label.size() > 63 && nameCharacters && !digits && !hexadecimal)
            return false;
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

} // namespace Vexilo::ContentDetector::Detail
