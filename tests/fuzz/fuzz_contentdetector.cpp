// SPDX-License-Identifier: MIT
// Content detection on arbitrary text: the quick link test agrees with the full one and with QUrl,
// and each hand-written matcher with the regular expression it stands for.
#include "ContentDetector.h"
#include "ContentDetector_p.h"
#include "JsonReader.h"

#include <cstdlib>
#include <cstring>

using namespace Vexilo;
using namespace Vexilo::ContentDetector;

[[gnu::noinline]] static void check(bool condition)
{
    if (!condition)
        std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    // An odd first byte makes the rest UTF-16, which can hold lone surrogates; else it is UTF-8.
    QString text = QString::fromUtf8(reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1));
    if (data[0] & 1) {
        text.resize(qsizetype((size - 1) / 2));
        std::memcpy(text.data(), data + 1, size_t(text.size()) * 2);
    }
    const QStringView trimmed = TextUtils::trimmed(text);

    check(isURL(text) == detectURL(text).isUrl);
    const bool hasScheme =
        trimmed.startsWith(u"http://") || trimmed.startsWith(u"https://") || trimmed.startsWith(u"ftp://");
    const QStringView prefix = hasScheme ? QStringView() : QStringView(u"https://");
    const QUrl full(prefix.toString() + trimmed, QUrl::StrictMode);
    const std::optional<QUrl> parsed = Detail::parseUrlWithHost(prefix, trimmed);
    check(parsed.has_value() == (full.isValid() && !full.host().isEmpty()));
    check(Detail::isUrlWithHost(prefix, trimmed) == parsed.has_value());
    check(!parsed || (*parsed == full && parsed->toString(QUrl::FullyEncoded) == full.toString(QUrl::FullyEncoded)));

    // The hex shown for a colour is that colour.
    if (const ColorDetection colour = detectColor(text); colour.isColor) {
        const std::optional<ColorValue> shown = nsColorFromHex(*colour.hex);
        check(shown && shown->red == colour.color->red && shown->green == colour.color->green &&
              shown->blue == colour.color->blue);
    }

    const QRegularExpressionMatch rgb = Detail::rgbRegex()->match(trimmed);
    const std::optional<Detail::RgbMatch> ownRgb = Detail::matchRgb(trimmed);
    check(ownRgb.has_value() == rgb.hasMatch());
    check(!ownRgb ||
          (ownRgb->red == rgb.capturedView(1) && ownRgb->green == rgb.capturedView(2) &&
           ownRgb->blue == rgb.capturedView(3) && ownRgb->alpha.has_value() == (rgb.capturedStart(4) >= 0) &&
           ownRgb->alpha.value_or(QStringView()) == rgb.capturedView(4)));
    check(Detail::matchesDomain(trimmed) == Detail::domainRegex()->match(trimmed).hasMatch());
    check(Detail::matchesHtml(text) == Detail::htmlRegex()->match(text).hasMatch());
    check(Detail::containsCssBlock(text) == Detail::cssRegex()->match(text).hasMatch());
    const QByteArray utf8 = text.toUtf8();
    JsonReader reader(utf8);
    check(Detail::isJsonDocument(text) == (reader.skipValue() && reader.atEnd()));

    // Each list counts the markers it finds, SQL keywords in the upper-cased text.
    const Detail::MarkerScores scores = Detail::scoreMarkers(text, Detail::MarkerScan::Complete);
    const QList<QLatin1StringView> lists[] = {Detail::swiftMarkers(), Detail::pythonMarkers(),
                                              Detail::javaScriptMarkers(), Detail::sqlKeywords()};
    const QString upper = text.toUpper();
    int naive[4] = {};
    for (int k = 0; k < 4; ++k) {
        for (const QLatin1StringView marker : lists[k])
            naive[k] += (k < 3 ? text : upper).contains(marker);
    }
    check(scores.swift == naive[0] && scores.python == naive[1] && scores.javascript == naive[2] &&
          scores.sql == naive[3]);
    (void)detectCode(text);
    return 0;
}
