// SPDX-License-Identifier: MIT
#include "ClipItem.h"
#include "TextTransformMode.h"

#include <QTest>

using namespace Vexilo;
using namespace Qt::StringLiterals;

namespace {
ClipItem textClip(const QString &text)
{
    ClipItem item(QUuid::createUuid(), 0, ClipType::Text);
    item.setTextContent(text);
    return item;
}
} // namespace

class TestTextTransform : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Labels and case names lead back to their mode; neither lookup folds case, trims or takes the
    // other vocabulary, except where both are spelt alike ("lowercase").
    void namesRoundTrip()
    {
        for (TextTransformMode mode : TextTransformModes::allCases) {
            const QString raw = TextTransformModes::rawValue(mode);
            const QString caseName = TextTransformModes::caseName(mode);
            QCOMPARE(TextTransformModes::fromRawValue(raw), mode);
            QCOMPARE(TextTransformModes::fromCaseName(caseName), mode);
            QCOMPARE(TextTransformModes::fromRawValue(caseName).has_value(), caseName == raw);
            QCOMPARE(TextTransformModes::fromCaseName(raw).has_value(), caseName == raw);
        }
        for (const QString &name : {u"Uppercase"_s, u"Title Case "_s, u"TitleCase"_s, QString(), u"Rot13"_s}) {
            QCOMPARE(TextTransformModes::fromRawValue(name), std::nullopt);
            QCOMPARE(TextTransformModes::fromCaseName(name), std::nullopt);
        }
    }

    void clipWithoutTextYieldsNothing()
    {
        ClipItem image(QUuid::createUuid(), 0, ClipType::Image);
        image.setImageFileName(u"a.png"_s);
        image.setImageSize(10, 10);
        ClipItem files(QUuid::createUuid(), 0, ClipType::File);
        files.setFilePaths(QStringList{u"/tmp/a"_s});
        for (TextTransformMode mode : TextTransformModes::allCases) {
            QCOMPARE(image.transformedText(mode), std::nullopt);
            QCOMPARE(files.transformedText(mode), std::nullopt);
        }
        // An empty text is still a text.
        for (TextTransformMode mode : TextTransformModes::allCases)
            QCOMPARE(textClip(QString()).transformedText(mode), QString());
    }

    void transform_data()
    {
        QTest::addColumn<TextTransformMode>("mode");
        QTest::addColumn<QString>("input");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("expected");

        const auto row = [](const char *name, TextTransformMode mode, const QString &input, const QString &expected) {
            QTest::newRow(name) << mode << input << true << expected;
        };
        const auto invalid = [](const char *name, const QString &input) {
            QTest::newRow(name) << TextTransformMode::Base64Decoded << input << false << QString();
        };
        using M = TextTransformMode;

        // Case mapping is full Unicode mapping and ignores the locale.
        row("upper sharp s", M::Uppercase, u"stra\u00DFe"_s, u"STRASSE"_s);
        row("upper dotless i untouched", M::Uppercase, u"i \u0131"_s, u"I I"_s);
        row("upper ligature", M::Uppercase, u"\uFB01ne"_s, u"FINE"_s);
        row("lower accented", M::Lowercase, u"\u00C0\u00C9\u00CE Mixed"_s, u"\u00E0\u00E9\u00EE mixed"_s);

        // Title case: words split at white space and line breaks, first letter up, the rest down.
        row("title keeps separators", M::TitleCase, u"  one\ntwo\tthree\r\n"_s, u"  One\nTwo\tThree\r\n"_s);
        row("title sharp s inside", M::TitleCase, u"STRASSE stra\u00DFe"_s, u"Strasse Stra\u00DFe"_s);
        row("title sharp s first", M::TitleCase, u"\u00DFa"_s, u"Ssa"_s);
        row("title digraph", M::TitleCase, u"\u01C6ungla"_s, u"\u01C5ungla"_s);
        row("title hyphen is inside a word", M::TitleCase, u"hello-WORLD"_s, u"Hello-world"_s);
        row("title leading punctuation", M::TitleCase, u"(hello) 'quoted'"_s, u"(Hello) 'Quoted'"_s);
        row("title leading digit", M::TitleCase, u"3RD place"_s, u"3rd Place"_s);
        row("title nbsp separates", M::TitleCase, u"a\u00A0b"_s, u"A\u00A0B"_s);

        // Trimming removes white space and line breaks at the ends only.
        row("trim", M::TrimWhitespace, u" \t\n a  b \r\n\u2029"_s, u"a  b"_s);
        row("trim only blanks", M::TrimWhitespace, u" \n "_s, QString());

        // Single line: every run of white space and line breaks becomes one blank, ends trimmed.
        row("single line", M::SingleLine, u" one\ttwo\n"_s, u"one two"_s);
        row("single line crlf paragraphs", M::SingleLine, u"a\r\n\r\nb"_s, u"a b"_s);
        row("single line unicode separators", M::SingleLine, u"\u2028a\u00A0\u0085b\u3000"_s, u"a b"_s);

        // JSON: quote, backslash, slash and controls escaped; everything outside ASCII kept.
        row("json quote newline slash", M::JsonEscaped, u"say \"hi\"\n/path"_s, u"say \\\"hi\\\"\\n\\/path"_s);
        row("json short escapes", M::JsonEscaped, u"\t\r\b\f\\"_s, u"\\t\\r\\b\\f\\\\"_s);
        row("json other controls", M::JsonEscaped, u"\u0001\u001F\u007F"_s, u"\\u0001\\u001f\u007F"_s);
        row("json non-ascii kept", M::JsonEscaped, u"\u00E9\u2028\U0001F600"_s, u"\u00E9\u2028\U0001F600"_s);

        // URL query encoding: only characters outside the query set, as upper-case UTF-8 bytes.
        row("url blank and ampersand", M::UrlEncoded, u"a b&c=d"_s, u"a%20b&c=d"_s);
        row("url allowed set untouched", M::UrlEncoded, u"aZ09!$&'()*+,-./:;=?@_~"_s, u"aZ09!$&'()*+,-./:;=?@_~"_s);
        row("url reserved outside the set", M::UrlEncoded, u"#[]%\"<>\\^`{|}"_s,
            u"%23%5B%5D%25%22%3C%3E%5C%5E%60%7B%7C%7D"_s);
        row("url multibyte", M::UrlEncoded, u"\u00E9\U0001F600"_s, u"%C3%A9%F0%9F%98%80"_s);

        // Base64 encoding: standard alphabet, padded, never wrapped.
        row("b64 encode", M::Base64Encoded, u"Hello, World!"_s, u"SGVsbG8sIFdvcmxkIQ=="_s);
        row("b64 encode utf8", M::Base64Encoded, u"\u00E9"_s, u"w6k="_s);
        row("b64 encode long", M::Base64Encoded,
            u"The quick brown fox jumps over the lazy dog. The quick brown fox jumps over the lazy dog."_s,
            u"VGhlIHF1aWNrIGJyb3duIGZveCBqdW1wcyBvdmVyIHRoZSBsYXp5IGRvZy4gVGhlIHF1aWNrIGJyb3duIGZveCBqdW1wcyBvdmVy"
            u"IHRoZSBsYXp5IGRvZy4="_s);

        // Base64 decoding of valid input, after trimming the ends.
        row("b64 decode trimmed", M::Base64Decoded, u"  SGVsbG8=\n"_s, u"Hello"_s);
        row("b64 decode no padding needed", M::Base64Decoded, u"4pyT"_s, u"\u2713"_s);
        row("b64 decode nul byte", M::Base64Decoded, u"AA=="_s, QString(QChar(0)));
        row("b64 decode keeps bom", M::Base64Decoded, u"77u/aGk="_s, u"\uFEFFhi"_s);

        // Strict Base64: padding required, nothing outside the alphabet, "=" only at the end.
        invalid("missing padding", u"SGVsbG8"_s);
        invalid("broken over two lines", u"SGVs\nbG8="_s);
        invalid("inner blank", u"SGVs bG8="_s);
        invalid("url-safe alphabet", u"-_8="_s);
        invalid("padding in the middle", u"SGVsbG8=SGVs"_s);
        invalid("three padding characters", u"S==="_s);
        // The bytes must be well-formed UTF-8.
        invalid("lone lead byte", u"ww=="_s);
        invalid("encoded surrogate", u"7aCA"_s);
        invalid("overlong slash", u"wK8="_s);
        invalid("beyond U+10FFFF", u"9JCAgA=="_s);
    }

    void transform()
    {
        QFETCH(TextTransformMode, mode);
        QFETCH(QString, input);
        QFETCH(bool, valid);

        const std::optional<QString> result = textClip(input).transformedText(mode);
        QCOMPARE(result.has_value(), valid);
        if (valid)
            QTEST(*result, "expected");
    }
};

QTEST_GUILESS_MAIN(TestTextTransform)
#include "tst_texttransform.moc"
