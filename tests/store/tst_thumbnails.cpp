// SPDX-License-Identifier: MIT
#include "StoreFixture.h"
#include "ThumbnailLoader.h"

#include <QAtomicInt>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QTest>

using namespace Vexilo;
using namespace Vexilo::Test;
using namespace Qt::StringLiterals;

namespace {
QString writePng(const QString &dir, const QString &name, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    const QString path = dir + u'/' + name;
    image.save(path, "PNG");
    return path;
}

// A decoder that counts its calls and can hold them until the test releases it.
struct CountingDecoder
{
    std::shared_ptr<QAtomicInt> calls = std::make_shared<QAtomicInt>(0);
    std::shared_ptr<QSemaphore> gate;
    ThumbnailLoader::Decoder decoder(bool fail = false)
    {
        return [calls = calls, gate = gate, fail](const QString &path, int maxPixelSize) {
            calls->fetchAndAddOrdered(1);
            if (gate)
                gate->acquire();
            return fail ? QImage() : ThumbnailLoader::decodeThumbnail(path, maxPixelSize);
        };
    }
};

QImage loadAndWait(ThumbnailLoader &loader, const QString &path, const QString &name, double size, QObject *receiver)
{
    QImage result;
    bool done = false;
    loader.load(path, name, size, receiver, [&](const QImage &image) {
        result = image;
        done = true;
    });
    if (!QTest::qWaitFor([&] { return done; }, 5000))
        qWarning("thumbnail never arrived");
    return result;
}
} // namespace

class TestThumbnails : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void decodeIsSampledToThePixelSize()
    {
        QTemporaryDir dir;
        const QString path = writePng(dir.path(), u"wide.png"_s, {2000, 500});
        const QImage thumb = ThumbnailLoader::decodeThumbnail(path, 1000);
        QCOMPARE(thumb.size(), QSize(1000, 250));
        // Small images are not enlarged.
        QCOMPARE(ThumbnailLoader::decodeThumbnail(path, 4000).size(), QSize(2000, 500));
        QVERIFY(ThumbnailLoader::decodeThumbnail(dir.path() + u"/missing.png"_s, 100).isNull());
    }

    void concurrentRequestsShareOneDecode()
    {
        QTemporaryDir dir;
        const QString path = writePng(dir.path(), u"a.png"_s, {300, 300});
        CountingDecoder counting;
        counting.gate = std::make_shared<QSemaphore>(0);
        ThumbnailLoader loader(counting.decoder(), [] { return 2.0; });
        QObject receiver;
        int delivered = 0;
        QSize firstSize;
        for (int i = 0; i < 2; ++i) {
            loader.load(path, u"a.png"_s, 44.9, &receiver, [&](const QImage &image) {
                ++delivered;
                firstSize = image.size();
            });
        }
        QCOMPARE(loader.inFlightCount(), 1);
        counting.gate->release(10);
        QTRY_COMPARE(delivered, 2);
        QCOMPARE(counting.calls->loadRelaxed(), 1);
        QCOMPARE(loader.inFlightCount(), 0);
        QCOMPARE(firstSize, QSize(90, 90)); // 44.9 points at scale 2, rounded
        // Now cached under the whole number of points: answered at once, no decode. Another size is
        // another entry.
        QCOMPARE(ThumbnailLoader::key(u"a.png"_s, 44.9), u"a.png_44"_s);
        QVERIFY(loader.isCached(ThumbnailLoader::key(u"a.png"_s, 44)));
        loadAndWait(loader, path, u"a.png"_s, 44.1, &receiver);
        QCOMPARE(counting.calls->loadRelaxed(), 1);
        QCOMPARE(loadAndWait(loader, path, u"a.png"_s, 100, &receiver).size(), QSize(200, 200));
        QCOMPARE(counting.calls->loadRelaxed(), 2);
    }

    void cacheHoldsAHundredAndTwenty()
    {
        QTemporaryDir dir;
        const QString path = writePng(dir.path(), u"a.png"_s, {16, 16});
        CountingDecoder counting;
        ThumbnailLoader loader(counting.decoder(), [] { return 1.0; });
        QObject receiver;
        for (int size = 1; size <= 121; ++size)
            loadAndWait(loader, path, u"a.png"_s, size, &receiver);
        QCOMPARE(counting.calls->loadRelaxed(), 121);
        int cached = 0;
        for (int size = 1; size <= 121; ++size)
            cached += loader.isCached(ThumbnailLoader::key(u"a.png"_s, size));
        QCOMPARE(cached, 120);
        QVERIFY(!loader.isCached(ThumbnailLoader::key(u"a.png"_s, 1))); // the least recent went
        loadAndWait(loader, path, u"a.png"_s, 1, &receiver);
        QCOMPARE(counting.calls->loadRelaxed(), 122);
    }

    void failedDecodeFallsBackUncached()
    {
        QTemporaryDir dir;
        const QString path = writePng(dir.path(), u"a.png"_s, {30, 20});
        CountingDecoder counting;
        ThumbnailLoader loader(counting.decoder(true), [] { return 2.0; });
        QObject receiver;
        QCOMPARE(loadAndWait(loader, path, u"a.png"_s, 10, &receiver).size(), QSize(30, 20));
        QVERIFY(!loader.isCached(ThumbnailLoader::key(u"a.png"_s, 10)));
        loadAndWait(loader, path, u"a.png"_s, 10, &receiver);
        QCOMPARE(counting.calls->loadRelaxed(), 2);
        // Nothing readable at all: a null image.
        QVERIFY(loadAndWait(loader, dir.path() + u"/none.png"_s, u"none.png"_s, 10, &receiver).isNull());
    }

    void requesterGoneCachesNothing()
    {
        QTemporaryDir dir;
        const QString path = writePng(dir.path(), u"a.png"_s, {30, 30});
        CountingDecoder counting;
        counting.gate = std::make_shared<QSemaphore>(0);
        ThumbnailLoader loader(counting.decoder(), [] { return 2.0; });
        bool called = false;
        {
            QObject receiver;
            loader.load(path, u"a.png"_s, 20, &receiver, [&](const QImage &) { called = true; });
        }
        counting.gate->release();
        QTRY_COMPARE(loader.inFlightCount(), 0);
        QVERIFY(!called);
        QVERIFY(!loader.isCached(ThumbnailLoader::key(u"a.png"_s, 20)));
    }

    void storeThumbnailsOfDeletedClips()
    {
        StoreFixture f;
        f.settings().setValue(AppStorageKeys::autoExtractOCR, false);
        ClipboardStore &store = f.open();
        QImage image(40, 40, QImage::Format_RGB32);
        image.fill(Qt::magenta);
        const ClipItem clip = *store.item(store.addImageItem(image).id);
        QObject receiver;
        QImage thumb;
        store.loadThumbnail(clip.imageFileName(), 10, &receiver, [&](const QImage &i) { thumb = i; });
        QTRY_VERIFY(!thumb.isNull());
        store.deleteItem(clip, false);
        // Still cached after the file is gone; an uncached size finds nothing.
        thumb = {};
        store.loadThumbnail(clip.imageFileName(), 10, &receiver, [&](const QImage &i) { thumb = i; });
        QVERIFY(!thumb.isNull());
        bool done = false;
        store.loadThumbnail(clip.imageFileName(), 11, &receiver, [&](const QImage &i) {
            thumb = i;
            done = true;
        });
        QTRY_VERIFY(done);
        QVERIFY(thumb.isNull());
    }
};

QTEST_MAIN(TestThumbnails)
#include "tst_thumbnails.moc"
