// SPDX-License-Identifier: MIT
#include "ClipItem.h"
#include "ClipJson.h"
#include "SearchText.h"

#include <QRandomGenerator>
#include <QTest>

using namespace Vexilo;
using namespace Qt::StringLiterals;

namespace {
bool naiveContains(const QString &haystack, const QString &needle)
{
    const QString trimmed = needle.trimmed();
    return !trimmed.isEmpty() && haystack.toCaseFolded().contains(trimmed.toCaseFolded());
}
} // namespace

class TestSearchText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The vector scans must agree with a plain search at every length and alignment, including
    // matches at the very start and end of texts around the 16- and 32-byte block edges.
    void agreesWithAPlainSearch()
    {
        QRandomGenerator rng(42);
        const QString alphabet = u"abcABC xyz.,-\n\"/é"_s;
        for (int round = 0; round < 4000; ++round) {
            QString hay;
            const int length = int(rng.bounded(0, 140));
            for (int i = 0; i < length; ++i)
                hay.append(alphabet.at(rng.bounded(int(alphabet.size()))));
            QString needle;
            const int needleLength = int(rng.bounded(1, 5));
            if (rng.bounded(2) && length >= needleLength) {
                // Often a real piece of the text, in another case.
                const int at = int(rng.bounded(0, length - needleLength + 1));
                needle = hay.mid(at, needleLength);
                needle = rng.bounded(2) ? needle.toUpper() : needle.toLower();
            } else {
                for (int i = 0; i < needleLength; ++i)
                    needle.append(alphabet.at(rng.bounded(int(alphabet.size()))));
            }
            const SearchQuery query(needle);
            const bool expected = naiveContains(hay, needle);
            QVERIFY2(query.matches(QByteArrayView(hay.toUtf8())) == expected,
                     qPrintable(u"\"%1\" in \"%2\""_s.arg(needle, hay)));
            QVERIFY2(query.matches(QStringView(hay)) == expected,
                     qPrintable(u"\"%1\" in \"%2\" (UTF-16)"_s.arg(needle, hay)));
        }
    }

    void queries_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("query");
        QTest::addColumn<bool>("found");
        // Only letters fold: "[" is not "{" even though they differ by the case bit.
        QTest::newRow("not letters") << u"a{b"_s << u"a[b"_s << false;
        QTest::newRow("non-ASCII") << u"Grüße aus MÜNCHEN"_s << u"münchen"_s << true;
        QTest::newRow("Greek") << u"ΣΟΦΙΑ"_s << u"σοφια"_s << true;
        // Characters that fold alike without being each other's upper or lower case.
        QTest::newRow("digraph forms") << u"x\u01C4y"_s << u"\u01C5Y"_s << true;
        QTest::newRow("non-ASCII after ASCII") << u"Caf\u00C9 noir"_s << u"f\u00e9 N"_s << true;
        QTest::newRow("non-ASCII at start") << u"\u00DCber alles"_s << u"\u00fcBER"_s << true;
        QTest::newRow("non-ASCII miss") << u"\u00DCber alles"_s << u"\u00fcbel"_s << false;
    }

    void queries()
    {
        QFETCH(QString, text);
        QFETCH(QString, query);
        ClipItem item(QUuid::createUuid(), 0, ClipType::Text);
        item.setTextContent(text);
        QTEST(item.matches(query), "found");
    }

    // Clips read from a file keep their searchable fields next to their text; clips made or edited in
    // memory build the same on their own. Both must find the same things and keep the text apart.
    void decodedAndBuiltClipsSearchAlike()
    {
        QList<ClipItem> built;
        for (int i = 0; i < 40; ++i) {
            ClipItem item(QUuid::createUuid(), i, i % 3 ? ClipType::Text : ClipType::Image, false,
                          i % 2 ? QStringList{u"Work%1"_s.arg(i)} : QStringList{}, false);
            if (i % 3)
                item.setTextContent(u"body %1 \u00e9"_s.arg(i));
            item.setSourceAppName(u"App%1"_s.arg(i % 4));
            if (i % 5 == 0)
                item.setExtractedText(u"Scanned %1"_s.arg(i));
            if (i % 7 == 0)
                item.setFilePaths(QStringList{u"/home/user/report%1.pdf"_s.arg(i)});
            built.append(item);
        }
        const auto decoded = ClipJson::decodeHistory(ClipJson::encodeHistory(built));
        QVERIFY(decoded.complete);
        QCOMPARE(decoded.items, built);
        const QStringList queries{u"work1"_s, u"APP2"_s, u"scanned"_s, u"report7"_s, u"body 4 \u00c9"_s, u"3work"_s};
        for (const QString &text : queries) {
            const SearchQuery query(text);
            for (qsizetype i = 0; i < built.size(); ++i)
                QCOMPARE(decoded.items.at(i).matches(query), built.at(i).matches(query));
        }
        for (qsizetype i = 0; i < built.size(); ++i)
            QCOMPARE(decoded.items.at(i).textContentUtf8(), built.at(i).textContentUtf8());
        // An edit rebuilds the searched fields.
        ClipItem edited = decoded.items.at(1);
        edited.setTags({u"fresh"_s});
        QVERIFY(edited.matches(u"FRESH"_s));
        QVERIFY(!edited.matches(u"work1"_s));
        QCOMPARE(edited.textContent(), built.at(1).textContent());
        QVERIFY(!decoded.items.at(1).matches(u"fresh"_s)); // the original is untouched
    }

    void narrowing()
    {
        QVERIFY(SearchQuery(u"abc"_s).narrows(SearchQuery(u"ab"_s)));
        QVERIFY(SearchQuery(u"xABx"_s).narrows(SearchQuery(u"ab"_s)));
        QVERIFY(!SearchQuery(u"ab"_s).narrows(SearchQuery(u"abc"_s)));
        QVERIFY(!SearchQuery(u"ab"_s).narrows(SearchQuery()));
    }
};

QTEST_GUILESS_MAIN(TestSearchText)
#include "tst_searchtext.moc"
