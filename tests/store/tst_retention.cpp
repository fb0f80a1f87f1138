// SPDX-License-Identifier: MIT
#include "ReferenceDate.h"
#include "Retention.h"
#include "StoreFixture.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace Vexilo;
using namespace Vexilo::Test;
using namespace Qt::StringLiterals;

namespace {
// Builds a history from a pattern: o = ordinary, p = pinned, s = snippet; newest first.
QList<ClipItem> history(const QString &pattern)
{
    QList<ClipItem> items;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar kind = pattern.at(i);
        ClipItem item(QUuid::createUuid(), 1000.0 - double(i), kind == u's' ? ClipType::Snippets : ClipType::Text,
                      kind == u'p', {}, kind == u's');
        item.setTextContent(QString(kind) + QString::number(i));
        items.append(item);
    }
    return items;
}

QString names(const QList<ClipItem> &items)
{
    QStringList out;
    for (const ClipItem &item : items)
        out.append(item.textContent());
    return out.join(u' ');
}
} // namespace

class TestRetention : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sizeLimit_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QString>("expected"); // empty: unchanged
        QTest::newRow("no limit") << u"oooooo"_s << 0 << QString();
        QTest::newRow("negative is no limit") << u"oooooo"_s << -3 << QString();
        QTest::newRow("oldest ordinary dropped") << u"oooo"_s << 3 << u"o0 o1 o2"_s;
        // Pinned clips count toward the limit, but one ordinary clip always survives.
        QTest::newRow("pinned fill the limit") << u"opppo"_s << 3 << u"p1 p2 p3 o0"_s;
        // When trimming, the history is regrouped: pinned, kept ordinary, snippets.
        QTest::newRow("regrouped") << u"osposopo"_s << 3 << u"p2 p6 o0 s1 s4"_s;
        QTest::newRow("at the limit untouched") << u"osoop"_s << 4 << QString();
        QTest::newRow("snippets never count") << u"sssso"_s << 1 << QString();
    }

    void sizeLimit()
    {
        QFETCH(QString, pattern);
        QFETCH(int, limit);
        QFETCH(QString, expected);
        const QList<ClipItem> items = history(pattern);
        const Retention::Outcome outcome = Retention::enforceLimit(items, limit);
        QCOMPARE(outcome.changed, !expected.isEmpty());
        if (outcome.changed) {
            QCOMPARE(names(outcome.items), expected);
            QCOMPARE(outcome.items.size() + outcome.removed.size(), items.size());
            for (const ClipItem &removed : outcome.removed)
                QVERIFY(!removed.isPinned() && !removed.isSnippet());
        }
    }

    void expiryKeepsPinnedAndSnippets()
    {
        const double day = 86400;
        const double now = 800000000;
        ClipItem old(QUuid::createUuid(), now - 8 * day, ClipType::Text);
        ClipItem pinned(QUuid::createUuid(), now - 30 * day, ClipType::Text, true);
        ClipItem snippet(QUuid::createUuid(), now - 365 * day, ClipType::Snippets, false, {}, true);
        ClipItem fresh(QUuid::createUuid(), now - 6 * day, ClipType::Text);
        const auto outcome = Retention::removeExpired({old, pinned, snippet, fresh}, Retention::cutoffForDays(now, 7));
        QCOMPARE(outcome.removed, QList<ClipItem>{old});
        QCOMPARE(outcome.items, (QList<ClipItem>{pinned, snippet, fresh}));
        // One day is 24 hours back.
        ClipItem recent(QUuid::createUuid(), now - 23 * 3600, ClipType::Text);
        ClipItem older(QUuid::createUuid(), now - 25 * 3600, ClipType::Text);
        QCOMPARE(Retention::removeExpired({recent, older}, Retention::cutoffForDays(now, 1)).items,
                 QList<ClipItem>{recent});
    }

    void calendarDaysAcrossDaylightSaving()
    {
        // In a zone with daylight saving, seven calendar days back can be 167 or 169 hours.
        qputenv("TZ", "Europe/Berlin");
        tzset();
        const QDateTime afterSwitch(QDate(2026, 3, 30), QTime(12, 0), Qt::LocalTime);
        const double now = ReferenceDate::fromDateTime(afterSwitch);
        const double cutoff = Retention::cutoffForDays(now, 7);
        QCOMPARE(ReferenceDate::toDateTime(cutoff).toLocalTime(),
                 QDateTime(QDate(2026, 3, 23), QTime(12, 0), Qt::LocalTime));
        QCOMPARE(now - cutoff, 7 * 86400.0 - 3600.0);
        qunsetenv("TZ");
        tzset();
    }

    void storeTrimsAfterCaptureOnly()
    {
        StoreFixture f;
        QList<ClipItem> five;
        for (int i = 0; i < 5; ++i)
            five.append(f.textClip(u"old %1"_s.arg(i), 100 + i));
        f.writeHistory(five);
        f.settings().setValue(AppStorageKeys::maxHistoryLimit, 3);
        ClipboardStore &store = f.open();
        QCOMPARE(store.count(ClipType::All), 5); // not at start-up
        const qsizetype snippets = store.snippets().size();
        QImage img(4, 4, QImage::Format_RGB32);
        img.fill(Qt::black);
        f.settings().setValue(AppStorageKeys::autoExtractOCR, false);
        store.addImageItem(img);
        QCOMPARE(store.count(ClipType::All), 3);
        QCOMPARE(f.imageFiles().size(), 1); // the new image is the newest and stays
        store.addTextItem(u"newest"_s);
        QCOMPARE(store.items().first().textContent(), u"newest"_s);
        QCOMPARE(store.count(ClipType::All), 3);
        QCOMPARE(store.snippets().size(), snippets);
        // A trimmed image loses its file.
        store.addTextItem(u"newer still"_s);
        store.addTextItem(u"and another"_s);
        QVERIFY(f.imageFiles().isEmpty());
    }

    void storeExpiresAtStartOnly()
    {
        StoreFixture f;
        ClipItem image(QUuid::createUuid(), f.clock - 10 * 86400, ClipType::Image);
        image.setImageFileName(u"OLD.png"_s);
        QDir().mkpath(f.imagesDirectory());
        QFile file(f.imagesDirectory() + u"/OLD.png"_s);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        f.writeHistory({f.textClip(u"recent"_s, 3600), image, f.textClip(u"pinned"_s, 40 * 86400, true)});
        f.settings().setValue(AppStorageKeys::autoClearDays, 7);
        ClipboardStore &store = f.open();
        QCOMPARE(store.count(ClipType::All), 2);
        QVERIFY(f.imageFiles().isEmpty());
        // A clip that ages past the limit while running stays until the next start.
        f.clock += 30 * 86400;
        store.addTextItem(u"new"_s);
        QCOMPARE(store.count(ClipType::All), 3);
        QCOMPARE(f.open().count(ClipType::All), 2);
    }
};

QTEST_GUILESS_MAIN(TestRetention)
#include "tst_retention.moc"
