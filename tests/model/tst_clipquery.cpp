// SPDX-License-Identifier: MIT
#include "ClipQuery.h"

#include <QRandomGenerator>
#include <QTest>

using namespace Vexilo;
using namespace Qt::StringLiterals;

namespace {
QList<ClipItem> randomHistory(QRandomGenerator &rng, int size, int pinnedPercent, bool newestFirst)
{
    QList<ClipItem> items;
    double date = 1000000;
    for (int i = 0; i < size; ++i) {
        // Equal dates happen (clips captured within one clock tick); stability must hold for them.
        date -= newestFirst ? double(rng.bounded(3)) : -double(rng.bounded(3));
        ClipItem item(QUuid::createUuid(), newestFirst ? date : double(rng.bounded(50)),
                      rng.bounded(3) == 0 ? ClipType::Code : ClipType::Text, int(rng.bounded(100)) < pinnedPercent,
                      rng.bounded(4) == 0 ? QStringList{u"t"_s} : QStringList{}, rng.bounded(10) == 0);
        items.append(item);
    }
    return items;
}

QList<QUuid> ids(const QList<ClipItem> &items)
{
    QList<QUuid> out;
    for (const ClipItem &item : items)
        out.append(item.id());
    return out;
}
} // namespace

class TestClipQuery : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void orderMatchesAStableSort_data()
    {
        QTest::addColumn<int>("pinnedPercent");
        QTest::addColumn<bool>("newestFirst");
        QTest::newRow("newest first, no pins") << 0 << true;
        QTest::newRow("newest first, some pins") << 5 << true;
        QTest::newRow("newest first, many pins") << 60 << true;
        QTest::newRow("shuffled dates") << 10 << false;
        QTest::newRow("all pinned, shuffled") << 100 << false;
    }

    // The fast paths (already ordered, partition only) must agree with a plain stable sort.
    void orderMatchesAStableSort()
    {
        QFETCH(int, pinnedPercent);
        QFETCH(bool, newestFirst);
        QRandomGenerator rng(1234);
        for (int round = 0; round < 20; ++round) {
            const QList<ClipItem> history = randomHistory(rng, 300, pinnedPercent, newestFirst);
            QList<ClipItem> expected = history;
            std::stable_sort(expected.begin(), expected.end(), ClipQuery::comesBefore);
            QList<ClipItem> sorted = history;
            ClipQuery::sortByPinnedThenDate(sorted);
            QCOMPARE(ids(sorted), ids(expected));

            // The one-pass filter says "in order" only when it is.
            for (ClipType category : {ClipType::All, ClipType::Pinned, ClipType::Code, ClipType::Snippets}) {
                const auto pass = ClipQuery::countAndSelect(history, category, std::nullopt);
                QList<ClipItem> members = pass.members;
                ClipQuery::sortByPinnedThenDate(members);
                if (pass.inListOrder)
                    QCOMPARE(ids(pass.members), ids(members));
                for (const ClipItem &item : pass.members)
                    QVERIFY(ClipQuery::belongsTo(item, category));
            }
            const auto tagged = ClipQuery::countAndSelect(history, ClipType::All, u"t"_s);
            for (const ClipItem &item : tagged.members)
                QVERIFY(item.tags().contains(u"t"_s));
            QCOMPARE(tagged.counts.categoryCounts, ClipQuery::aggregateCounts(history).categoryCounts);
        }
    }

    void membership_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("pinned");
        QTest::addColumn<bool>("snippet");
        QTest::addColumn<QList<int>>("categories");
        // Snippets belong only to Snippets, whatever their type or pin.
        QTest::newRow("pinned snippet") << int(ClipType::Snippets) << true << true
                                        << QList<int>{int(ClipType::Snippets)};
        QTest::newRow("text snippet") << int(ClipType::Text) << false << true << QList<int>{int(ClipType::Snippets)};
        QTest::newRow("pinned link") << int(ClipType::Url) << true << false
                                     << QList<int>{int(ClipType::All), int(ClipType::Pinned), int(ClipType::Url)};
        QTest::newRow("text") << int(ClipType::Text) << false << false
                              << QList<int>{int(ClipType::All), int(ClipType::Text)};
    }

    void membership()
    {
        QFETCH(int, type);
        QFETCH(bool, pinned);
        QFETCH(bool, snippet);
        QFETCH(QList<int>, categories);
        const ClipItem item(QUuid::createUuid(), 0, ClipType(type), pinned, {}, snippet);
        for (ClipType category : ClipTypes::allCases)
            QCOMPARE(ClipQuery::belongsTo(item, category), categories.contains(int(category)));
    }
};

QTEST_GUILESS_MAIN(TestClipQuery)
#include "tst_clipquery.moc"
