// SPDX-License-Identifier: MIT
#include "HistoryWriter.h"
#include "StoreFixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Vexilo;
using namespace Vexilo::Test;

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
        const CaptureResult result =
            store.addTextItem(QStringLiteral("  word \n"),
                              SourceApplication{QStringLiteral("Editor"), QStringLiteral("org.example.editor")});
        QVERIFY(result.recorded());
        const ClipItem clip = store.items().first();
        QCOMPARE(clip.id(), result.id);
        QCOMPARE(clip.textContent(), QStringLiteral("  word \n"));
        QCOMPARE(clip.type(), ClipType::Text);
        QCOMPARE(clip.createdAt(), f.clock);
        QCOMPARE(clip.sourceAppName(), QStringLiteral("Editor"));
        QCOMPARE(clip.sourceAppBundleId(), QStringLiteral("org.example.editor"));
        QVERIFY(!clip.isPinned() && !clip.isSnippet() && clip.tags().isEmpty());
        QCOMPARE(store.selectedItem()->id(), clip.id());
        // De-duplication compares untrimmed text: the bare word is a new clip.
        QVERIFY(store.addTextItem(QStringLiteral("word")).recorded());
        // A source without name or identifier leaves both absent.
        QVERIFY(!store.items().first().hasSourceAppName());
    }

    void duplicatesAnywhereAreDropped()
    {
        StoreFixture f;
        ClipboardStore &store = f.open();
        store.addTextItem(QStringLiteral("first"));
        store.addTextItem(QStringLiteral("second"));
        store.addTextItem(QStringLiteral("third"));
        const QList<ClipItem> before = store.items();
        store.setSelectedItem(store.items().at(1));
        const CaptureResult again = store.addTextItem(QStringLiteral("first"));
        QCOMPARE(again.outcome, CaptureOutcome::Duplicate);
        QCOMPARE(store.items(), before);
        QCOMPARE(store.selectedItem()->textContent(), QStringLiteral("second"));
        // Case matters.
        QVERIFY(store.addTextItem(QStringLiteral("First")).recorded());
        // A snippet's content never blocks a capture.
        const QString body = store.snippets().first().textContent();
        QVERIFY(store.addTextItem(body).recorded());
    }

    void blankAndPausedRecordNothing()
    {
        StoreFixture f;
        ClipboardStore &store = f.open();
        const int count = store.storedItemCount();
        QCOMPARE(store.addTextItem(QStringLiteral(" \n\t \r\n")).outcome, CaptureOutcome::Blank);
        QCOMPARE(store.addTextItem(QString()).outcome, CaptureOutcome::Blank);
        QCOMPARE(store.addFilesItem({}).outcome, CaptureOutcome::Blank);
        store.setPaused(true);
        QCOMPARE(store.addTextItem(QStringLiteral("x")).outcome, CaptureOutcome::Paused);
        QCOMPARE(store.addImageItem(image(4, 4)).outcome, CaptureOutcome::Paused);
        QCOMPARE(store.addFilesItem({QStringLiteral("/tmp")}).outcome, CaptureOutcome::Paused);
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
        QTest::newRow("hex colour") << QStringLiteral("#FF5733") << int(ClipType::Text) << QStringLiteral("#FF5733")
                                    << QString();
        QTest::newRow("link") << QStringLiteral("https://example.com/a") << int(ClipType::Url) << QString()
                              << QString();
        QTest::newRow("code") << QStringLiteral("def f(x):\n    return x") << int(ClipType::Code) << QString()
                              << QStringLiteral("python");
        // The link test wins over the code test.
        QTest::newRow("link and code") << QStringLiteral("https://example.com/useState(useEffect(")
                                       << int(ClipType::Url) << QString() << QString();
        QTest::newRow("plain") << QStringLiteral("just some words") << int(ClipType::Text) << QString() << QString();
    }

    void textIsClassified()
    {
        QFETCH(QString, text);
        QFETCH(int, type);
        QFETCH(QString, colorHex);
        QFETCH(QString, language);
        StoreFixture f;
        ClipboardStore &store = f.open();
        QVERIFY(store.addTextItem(text).recorded());
        const ClipItem clip = store.items().first();
        QCOMPARE(int(clip.type()), type);
        QCOMPARE(clip.hasColorHex() ? clip.colorHex() : QString(), colorHex);
        QCOMPARE(clip.hasDetectedLanguage() ? clip.detectedLanguage() : QString(), language);
    }

    void existingPathTextIsAFileClip()
    {
        StoreFixture f;
        ClipboardStore &store = f.open();
        QTemporaryDir dir;
        const QString path = dir.path() + QStringLiteral("/report.pdf");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QVERIFY(store.addTextItem(path).recorded());
        QCOMPARE(store.items().first().type(), ClipType::File);
        QCOMPARE(store.items().first().filePaths(), QStringList{path});
        // The same file copied in a file manager is already there.
        QCOMPARE(store.addFilesItem({path}).outcome, CaptureOutcome::Duplicate);
    }

    void fileListsDeduplicateByOrder()
    {
        StoreFixture f;
        ClipboardStore &store = f.open();
        const QStringList ab{QStringLiteral("/a"), QStringLiteral("/b")};
        QVERIFY(store.addFilesItem(ab).recorded());
        QCOMPARE(store.items().first().type(), ClipType::File);
        QVERIFY(!store.items().first().hasTextContent());
        QCOMPARE(store.addFilesItem(ab).outcome, CaptureOutcome::Duplicate);
        QVERIFY(store.addFilesItem({QStringLiteral("/b"), QStringLiteral("/a")}).recorded());
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
        QVERIFY(clip.imageFileName().endsWith(QStringLiteral(".png")));
        QVERIFY(!clip.imageFileName().startsWith(clip.idString())); // the file has its own UUID
        QCOMPARE(clip.imageFileName().size(), 40);
        QCOMPARE(clip.imageFileName(),
                 clip.imageFileName().toUpper().replace(QStringLiteral(".PNG"), QStringLiteral(".png")));
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
        QVERIFY(f.logLines().last().startsWith(QStringLiteral("Failed to save image clip: ")));
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
        f.recognizer().finish(0, QStringLiteral("hello from the first"));
        QCOMPARE(store.item(first)->extractedText(), QStringLiteral("hello from the first"));
        QVERIFY(!store.item(second)->hasExtractedText());
        // The detail pane follows, and the text is searchable.
        QCOMPARE(store.selectedItem()->extractedText(), QStringLiteral("hello from the first"));
        QCOMPARE(store.filteredList(ClipType::All, {}, QStringLiteral("FIRST")).size(), 1);
        // No text: nothing happens.
        f.recognizer().finish(0, std::nullopt);
        QVERIFY(!store.item(second)->hasExtractedText());
    }

    void recognisedTextForADeletedClipIsDropped()
    {
        StoreFixture f;
        ClipboardStore &store = f.open();
        const QUuid id = store.addImageItem(image(10, 10)).id;
        store.deleteItem(*store.item(id), false);
        store.saveHistorySynchronously();
        const int writes = store.writer().writeCount();
        const QList<ClipItem> before = store.items();
        f.recognizer().finish(0, QStringLiteral("too late"));
        QCOMPARE(store.items(), before);
        QTest::qWait(250);
        store.writer().waitForIdle();
        QCOMPARE(store.writer().writeCount(), writes);
    }

    void recognitionAfterTheStoreIsGoneDoesNothing()
    {
        StoreFixture f;
        f.open().addImageItem(image(10, 10));
        f.close();
        f.recognizer().finish(0, QStringLiteral("nobody listens"));
        QCOMPARE(f.recognizer().pendingCount(), 0);
    }

    void limitRunsAfterCapture()
    {
        StoreFixture f;
        f.settings().setValue(AppStorageKeys::maxHistoryLimit, 2);
        ClipboardStore &store = f.open();
        store.addTextItem(QStringLiteral("1"));
        store.addTextItem(QStringLiteral("2"));
        store.addTextItem(QStringLiteral("3"));
        QCOMPARE(store.count(ClipType::All), 2);
        QCOMPARE(store.items().first().textContent(), QStringLiteral("3"));
        QCOMPARE(store.snippets().size(), 2);
    }
};

QTEST_MAIN(TestStoreCapture)
#include "tst_storecapture.moc"
