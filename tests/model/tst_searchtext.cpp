// SPDX-License-Identifier: MIT
#include "ClipItem.h"
#include "ClipJson.h"
#include "SearchText.h"

#include <QRandomGenerator>
#include <QTest>

using namespace Vexilo;

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
        const QString alphabet = QStringLiteral("abcABC xyz.,-\n\"/é");
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
                     qPrintable(QStringLiteral("\"%1\" in \"%2\"").arg(needle, hay)));
            QVERIFY2(query.matches(QStringView(hay)) == expected,
                     qPrintable(QStringLiteral("\"%1\" in \"%2\" (UTF-16)").arg(needle, hay)));
        }
    }

    void queries_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("query");
        QTest::addColumn<bool>("found");
        QTest::newRow("case") << QStringLiteral("Hello World") << QStringLiteral("WORLD") << true;
        // Only letters fold: "[" is not "{" even though they differ by the case bit.
        QTest::newRow("not letters") << QStringLiteral("a{b") << QStringLiteral("a[b") << false;
        QTest::newRow("at the end") << QString(100, u'x') + QStringLiteral("End") << QStringLiteral("end") << true;
        QTest::newRow("blank query") << QStringLiteral("abc") << QStringLiteral("  ") << false;
        QTest::newRow("trimmed query") << QStringLiteral("abc") << QStringLiteral(" b\n") << true;
        QTest::newRow("non-ASCII") << QStringLiteral("Grüße aus MÜNCHEN") << QStringLiteral("münchen") << true;
        QTest::newRow("Greek") << QStringLiteral("ΣΟΦΙΑ") << QStringLiteral("σοφια") << true;
        // Characters that fold alike without being each other's upper or lower case.
        QTest::newRow("digraph forms") << QStringLiteral("x\u01C4y") << QStringLiteral("\u01C5Y") << true;
        QTest::newRow("non-ASCII after ASCII")
            << QStringLiteral("Caf\u00C9 noir") << QStringLiteral("f\u00e9 N") << true;
        QTest::newRow("non-ASCII at start") << QStringLiteral("\u00DCber alles") << QStringLiteral("\u00fcBER") << true;
        QTest::newRow("non-ASCII miss") << QStringLiteral("\u00DCber alles") << QStringLiteral("\u00fcbel") << false;
        QTest::newRow("longer than text") << QStringLiteral("ab") << QStringLiteral("abc") << false;
    }

    void queries()
    {
        QFETCH(QString, text);
        QFETCH(QString, query);
        QFETCH(bool, found);
        ClipItem item(QUuid::createUuid(), 0, ClipType::Text);
        item.setTextContent(text);
        QCOMPARE(item.matches(query), found);
    }

    // Clips read from a file keep their searchable fields next to their text; clips made or edited in
    // memory build the same on their own. Both must find the same things and keep the text apart.
    void decodedAndBuiltClipsSearchAlike()
    {
        QList<ClipItem> built;
        for (int i = 0; i < 40; ++i) {
            ClipItem item(QUuid::createUuid(), i, i % 3 ? ClipType::Text : ClipType::Image, false,
                          i % 2 ? QStringList{QStringLiteral("Work%1").arg(i)} : QStringList{}, false);
            if (i % 3)
                item.setTextContent(QStringLiteral("body %1 \u00e9").arg(i));
            item.setSourceAppName(QStringLiteral("App%1").arg(i % 4));
            if (i % 5 == 0)
                item.setExtractedText(QStringLiteral("Scanned %1").arg(i));
            if (i % 7 == 0)
                item.setFilePaths(QStringList{QStringLiteral("/home/user/report%1.pdf").arg(i)});
            built.append(item);
        }
        const auto decoded = ClipJson::decodeHistory(ClipJson::encodeHistory(built));
        QVERIFY(decoded.complete);
        QCOMPARE(decoded.items, built);
        const QStringList queries{QStringLiteral("work1"),   QStringLiteral("APP2"),          QStringLiteral("scanned"),
                                  QStringLiteral("report7"), QStringLiteral("body 4 \u00c9"), QStringLiteral("3work")};
        for (const QString &text : queries) {
            const SearchQuery query(text);
            for (qsizetype i = 0; i < built.size(); ++i)
                QCOMPARE(decoded.items.at(i).matches(query), built.at(i).matches(query));
        }
        for (qsizetype i = 0; i < built.size(); ++i)
            QCOMPARE(decoded.items.at(i).textContentUtf8(), built.at(i).textContentUtf8());
        // An edit rebuilds the searched fields.
        ClipItem edited = decoded.items.at(1);
        edited.setTags({QStringLiteral("fresh")});
        QVERIFY(edited.matches(QStringLiteral("FRESH")));
        QVERIFY(!edited.matches(QStringLiteral("work1")));
        QCOMPARE(edited.textContent(), built.at(1).textContent());
        QVERIFY(!decoded.items.at(1).matches(QStringLiteral("fresh"))); // the original is untouched
    }

    void narrowing()
    {
        QVERIFY(SearchQuery(QStringLiteral("abc")).narrows(SearchQuery(QStringLiteral("ab"))));
        QVERIFY(SearchQuery(QStringLiteral("xABx")).narrows(SearchQuery(QStringLiteral("ab"))));
        QVERIFY(!SearchQuery(QStringLiteral("ab")).narrows(SearchQuery(QStringLiteral("abc"))));
        QVERIFY(!SearchQuery(QStringLiteral("ab")).narrows(SearchQuery()));
    }
};

QTEST_GUILESS_MAIN(TestSearchText)
#include "tst_searchtext.moc"
