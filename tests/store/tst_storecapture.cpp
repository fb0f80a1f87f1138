// SPDX-License-Identifier: MIT
#include "StoreFixture.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Vexilo;
using namespace Vexilo::Test;
using namespace Qt::StringLiterals;

class TestStoreCapture : public QObject
{
    Q_OBJECT

private:
    static QImage image(int w, int h, QColor color = Qt::red)
    {
        QImage img(w, h, QImage::Format_ARGB32);
        img.fill(color);
        return img;
    }

private Q_SLOTS:
    void textIsRecordedAsCopied()
    {
        StoreFixture f;
        ClipboardStore &store = f.open();
        const CaptureResult result = store.addTextItem(u"  word \n"_s);
        QVERIFY(result.recorded());
        const ClipItem clip = store.items().first();
        QCOMPARE(clip.id(), result.id);
        QCOMPARE(clip.textContent(), u"  word \n"_s);
        QCOMPARE(clip.type(), ClipType::Text);
        QCOMPARE(clip.createdAt(), f.clock);
        QVERIFY(!clip.isPinned() && !clip.isSnippet() && clip.tags().isEmpty());
        QCOMPARE(store.selectedItem()->id(), clip.id());
        // De-duplication compares untrimmed text: the bare word is a new clip.
        QVERIFY(store.addTextItem(u"word"_s).recorded());
    }

    void duplicatesAnywhereAreDropped()
    {
        StoreFixture f;
        ClipboardStore &store = f.open();
        store.addTextItem(u"first"_s);
        store.addTextItem(u"second"_s);
        store.addTextItem(u"third"_s);
        const QList<ClipItem> before = store.items();
        store.setSelectedItem(store.items().at(1));
        const CaptureResult again = store.addTextItem(u"first"_s);
        QCOMPARE(again.outcome, CaptureOutcome::Duplicate);
        QCOMPARE(store.items(), before);
        QCOMPARE(store.selectedItem()->textContent(), u"second"_s);
        // Case matters.
        QVERIFY(store.addTextItem(u"First"_s).recorded());
        // A snippet's content never blocks a capture.
        const QString body = store.snippets().first().textContent();
        QVERIFY(store.addTextItem(body).recorded());
    }

    void blankAndPausedRecordNothing()
    {
        StoreFixture f;
        ClipboardStore &store = f.open();
        const int count = store.storedItemCount();
        QCOMPARE(store.addTextItem(u" \n\t \r\n"_s).outcome, CaptureOutcome::Blank);
        QCOMPARE(store.addTextItem(QString()).outcome, CaptureOutcome::Blank);
        QCOMPARE(store.addFilesItem({}).outcome, CaptureOutcome::Blank);
        store.setPaused(true);
        QCOMPARE(store.addTextItem(u"x"_s).outcome, CaptureOutcome::Paused);
        QCOMPARE(store.addImageItem(image(4, 4)).outcome, CaptureOutcome::Paused);
        QCOMPARE(store.addFilesItem({u"/tmp"_s}).outcome, CaptureOutcome::Paused);
        QCOMPARE(store.storedItemCount(), count);
        QVERIFY(f.imageFiles().isEmpty());
    }

    void textIsClassified_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("colorHex");
        QTest::addColumn<QString>("language");
        // Colours keep the type the other tests give them.
        QTest::newRow("hex colour") << u"#FF5733"_s << int(ClipType::Text) << u"#FF5733"_s << QString();
        QTest::newRow("code") << u"def f(x):\n    return x"_s << int(ClipType::Code) << QString() << u"python"_s;
        // The link test wins over the code test.
        QTest::newRow("link and code") << u"https://example.com/useState(useEffect("_s << int(ClipType::Url)
                                       << QString() << QString();
    }

    void textIsClassified()
    {
        QFETCH(QString, text);
        StoreFixture f;
        ClipboardStore &store = f.open();
        QVERIFY(store.addTextItem(text).recorded());
        const ClipItem clip = store.items().first();
        QTEST(int(clip.type()), "type");
        QTEST(clip.hasColorHex() ? clip.colorHex() : QString(), "colorHex");
        QTEST(clip.hasDetectedLanguage() ? clip.detectedLanguage() : QString(), "language");
    }

    void filesAreDeduplicatedByPathsInOrder()
    {
        StoreFixture f;
        ClipboardStore &store = f.open();
        QTemporaryDir dir;
        const QString path = dir.path() + u"/report.pdf"_s;
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QVERIFY(store.addTextItem(path).recorded());
        QCOMPARE(store.items().first().type(), ClipType::File);
        QCOMPARE(store.items().first().filePaths(), QStringList{path});
        // The same file copied in a file manager is already there; file lists compare in order.
        QCOMPARE(store.addFilesItem({path}).outcome, CaptureOutcome::Duplicate);
        QVERIFY(store.addFilesItem({u"/a"_s, u"/b"_s}).recorded());
        QVERIFY(!store.items().first().hasTextContent());
        QCOMPARE(store.addFilesItem({u"/a"_s, u"/b"_s}).outcome, CaptureOutcome::Duplicate);
        QVERIFY(store.addFilesItem({u"/b"_s, u"/a"_s}).recorded());
    }

    void imagesAreWrittenAsPngAndNeverDeduplicated()
    {
        StoreFixture f;
        f.settings().setValue(AppStorageKeys::autoExtractOCR, false);
        ClipboardStore &store = f.open();
        QImage retina = image(200, 100);
        retina.setDevicePixelRatio(2.0);
        const CaptureResult first = store.addImageItem(retina);
        const CaptureResult second = store.addImageItem(retina);
        QVERIFY(first.recorded() && second.recorded());
        QCOMPARE(f.imageFiles().size(), 2);
        const ClipItem clip = *store.item(first.id);
        QCOMPARE(clip.type(), ClipType::Image);
        // Size in points, not pixels.
        QCOMPARE(clip.imageWidth(), std::optional<int>(100));
        QCOMPARE(clip.imageHeight(), std::optional<int>(50));
        // Its file has a UUID of its own, in upper case.
        QVERIFY(QRegularExpression(u"^[0-9A-F-]{36}\\.png$"_s).match(clip.imageFileName()).hasMatch());
        QVERIFY(!clip.imageFileName().startsWith(clip.idString()));
        const QImage stored = store.loadImage(clip.imageFileName());
        QCOMPARE(stored.size(), QSize(200, 100));
        QCOMPARE(stored.pixelColor(5, 5), QColor(Qt::red));
        // Without automatic recognition nothing is started.
        QCOMPARE(f.recognizer().pendingCount(), 0);
        QVERIFY(!clip.hasExtractedText());
    }

    void failedImageWriteRecordsNothing()
    {
        StoreFixture f;
        ClipboardStore &store = f.open();
        QDir(f.imagesDirectory()).removeRecursively();
        QFile blocker(f.imagesDirectory());
        QVERIFY(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
        blocker.close();
        const int count = store.storedItemCount();
        QCOMPARE(store.addImageItem(image(3, 3)).outcome, CaptureOutcome::Failed);
        QCOMPARE(store.storedItemCount(), count);
        QVERIFY(f.logLines().last().startsWith(u"Failed to save image clip: "_s));
    }

    void recognisedTextLandsInItsClip()
    {
        StoreFixture f;
        ClipboardStore &store = f.open();
        const QUuid first = store.addImageItem(image(10, 10, Qt::blue)).id;
        const QUuid second = store.addImageItem(image(20, 20, Qt::green)).id;
        QCOMPARE(f.recognizer().pendingCount(), 2);
        QCOMPARE(f.recognizer().image(0).size(), QSize(10, 10));
        store.setSelectedItem(store.item(first));
        f.recognizer().finish(0, u"hello from the first"_s);
        QCOMPARE(store.item(first)->extractedText(), u"hello from the first"_s);
        QVERIFY(!store.item(second)->hasExtractedText());
        // The detail pane follows, and the text is searchable.
        QCOMPARE(store.selectedItem()->extractedText(), u"hello from the first"_s);
        QCOMPARE(store.filteredList(ClipType::All, {}, u"FIRST"_s).size(), 1);
        // No text: nothing happens.
        f.recognizer().finish(0, std::nullopt);
        QVERIFY(!store.item(second)->hasExtractedText());
    }

    void recognitionAfterTheStoreIsGoneDoesNothing()
    {
        StoreFixture f;
        f.open().addImageItem(image(10, 10));
        f.close();
        f.recognizer().finish(0, u"nobody listens"_s);
        QCOMPARE(f.recognizer().pendingCount(), 0);
    }
};

QTEST_MAIN(TestStoreCapture)
#include "tst_storecapture.moc"
