// SPDX-License-Identifier: MIT
#include "OCRService.h"
#include "ScreenshotImage.h"
#include "StoreFixture.h"

#include <QPainter>
#include <QTest>
#include <QThread>
#include <thread>

using namespace Vexilo;
using namespace Vexilo::Test;
using namespace Qt::StringLiterals;

namespace {

constexpr int recognitionTimeoutMs = 60000;

QImage textImage(const QStringList &lines, int pixelSize = 28, QSize size = {640, 160}, QColor background = Qt::white)
{
    QImage image(size, background.alpha() < 255 ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    image.fill(background);
    QPainter painter(&image);
    QFont font(u"DejaVu Sans"_s);
    font.setPixelSize(pixelSize);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const int lineHeight = pixelSize * 3 / 2;
    for (int i = 0; i < lines.size(); ++i)
        painter.drawText(20, 20 + pixelSize + i * lineHeight, lines.at(i));
    return image;
}

const QStringList twoLines = {u"Hello World 123"_s, u"Second line here"_s};

// One recognition's outcome as the caller sees it.
struct Outcome
{
    bool called = false;
    std::optional<QString> text;
    bool onMainThread = false;
};

OCRService::Callback recordInto(Outcome &outcome)
{
    return [&outcome](std::optional<QString> text) {
        outcome.called = true;
        outcome.text = std::move(text);
        outcome.onMainThread = QThread::currentThread() == QCoreApplication::instance()->thread();
    };
}

} // namespace

class TestOCRService : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void recognizes_data()
    {
        QTest::addColumn<QImage>("image");
        QTest::addColumn<QString>("expected"); // empty: nothing

        QTest::newRow("small text") << textImage({u"Hello World 123"_s}, 14, {300, 60}) << u"Hello World 123"_s;
        QTest::newRow("dark text on a transparent background")
            << textImage(twoLines, 28, {640, 160}, Qt::transparent) << twoLines.join(u'\n');
        QTest::newRow("empty white image") << textImage({}, 28, {800, 600}) << QString();
        QTest::newRow("null image") << QImage() << QString();
        QTest::newRow("two pixels") << textImage({}, 28, {2, 2}, Qt::black) << QString();
    }

    void recognizes()
    {
        QFETCH(QImage, image);
        QFETCH(QString, expected);

        QStringList log;
        OCRService service([&log](const QString &line) { log.append(line); });
        QObject context;
        Outcome outcome;
        service.extractText(image, &context, recordInto(outcome));
        // Nothing is delivered during the call itself.
        QVERIFY(!outcome.called);
        QTRY_VERIFY_WITH_TIMEOUT(outcome.called, recognitionTimeoutMs);
        QVERIFY(outcome.onMainThread);
        if (expected.isEmpty())
            QVERIFY2(!outcome.text, qPrintable(outcome.text.value_or(QString())));
        else
            QCOMPARE(outcome.text.value_or(u"(nothing)"_s), expected);
        QCOMPARE(log, QStringList());
    }

    // A large image is recognised in two bands at once when a thread is free: whole lines in reading
    // order, and the same lines as one engine over the whole image.
    void screenshotInBands()
    {
        const QImage image = screenshot();
        OCRService parallel;
        OCRService single(standardOutputLog(), 1);
        QObject context;
        Outcome split;
        Outcome whole;
        parallel.extractText(image, &context, recordInto(split));
        QTRY_VERIFY_WITH_TIMEOUT(split.called, recognitionTimeoutMs);
        single.extractText(image, &context, recordInto(whole));
        QTRY_VERIFY_WITH_TIMEOUT(whole.called, recognitionTimeoutMs);
        QVERIFY(split.text && whole.text);
        QStringList lines = split.text->split(u'\n');
        for (const QString &line : {u"Quarterly Report"_s, u"Archive"_s, u"March 5, 2024"_s, screenshotLine(0),
                                    screenshotLine(9), screenshotLine(21), screenshotLine(31)})
            QVERIFY2(lines.contains(line), qPrintable(line));
        // Nearly all of the body comes back exactly and in place.
        int exact = 0;
        qsizetype previous = -1;
        for (int i = 0; i < 32; ++i) {
            const qsizetype at = lines.indexOf(screenshotLine(i));
            if (at > previous) {
                ++exact;
                previous = at;
            }
        }
        QVERIFY2(exact >= 29, qPrintable(*split.text));
        QStringList wholeLines = whole.text->split(u'\n');
        lines.sort();
        wholeLines.sort();
        QCOMPARE(lines, wholeLines);
    }

    void blankRegionsInsideAreKept()
    {
        QCOMPARE(OCRService::joinRecognizedLines({u"  "_s, u"a"_s, u" "_s, u"b"_s, u"\t"_s}), u"a\n \nb"_s);
        QCOMPARE(OCRService::joinRecognizedLines({u" "_s, u""_s}), std::nullopt);
        QCOMPARE(OCRService::joinRecognizedLines({}), std::nullopt);
    }

    // Recognitions started together, some from other threads, each get their own image's text, on
    // the main thread.
    void concurrentRecognitions()
    {
        OCRService service;
        QObject context;
        const QList<QStringList> texts = {
            {u"Alpha report 2024"_s, u"first image"_s},
            {u"Bravo invoice 77"_s, u"second image"_s},
            {u"Charlie notes 9"_s, u"third image"_s},
            {u"Delta summary 512"_s, u"fourth image"_s},
        };
        QList<QImage> images;
        for (const QStringList &lines : texts)
            images.append(textImage(lines));

        std::array<Outcome, 4> outcomes;
        service.extractText(images.at(0), &context, recordInto(outcomes[0]));
        std::vector<std::thread> callers;
        for (int i = 1; i < 4; ++i)
            callers.emplace_back([&, i] { service.extractText(images.at(i), &context, recordInto(outcomes[i])); });
        for (std::thread &caller : callers)
            caller.join();

        QTRY_VERIFY_WITH_TIMEOUT(
            std::all_of(outcomes.begin(), outcomes.end(), [](const Outcome &o) { return o.called; }),
            recognitionTimeoutMs);
        for (int i = 0; i < 4; ++i) {
            QVERIFY(outcomes[i].onMainThread);
            QCOMPARE(outcomes[i].text.value_or(QString()), texts.at(i).join(u'\n'));
        }
    }

    void destroyedContextGetsNoCallback()
    {
        // One at a time, so the second result arrives only after the first was handled.
        OCRService service(standardOutputLog(), 1);
        auto context = std::make_unique<QObject>();
        Outcome dropped;
        service.extractText(textImage(twoLines), context.get(), recordInto(dropped));
        context.reset();

        QObject laterContext;
        Outcome later;
        service.extractText(textImage({u"Later text"_s}), &laterContext, recordInto(later));
        QTRY_VERIFY_WITH_TIMEOUT(later.called, recognitionTimeoutMs);
        QCOMPARE(later.text.value_or(QString()), u"Later text"_s);
        QCoreApplication::processEvents();
        QVERIFY(!dropped.called);
    }

    // Idle engines are freed after a while; a later recognition loads one again.
    void idleEnginesAreReleased()
    {
        OCRService service;
        service.setEngineIdleTimeout(100);
        QObject context;
        Outcome first;
        service.extractText(textImage(twoLines), &context, recordInto(first));
        QTRY_VERIFY_WITH_TIMEOUT(first.called, recognitionTimeoutMs);
        QCOMPARE(service.idleEngineCount(), 1);
        QTRY_COMPARE(service.idleEngineCount(), 0);

        Outcome second;
        service.extractText(textImage(twoLines), &context, recordInto(second));
        QTRY_VERIFY_WITH_TIMEOUT(second.called, recognitionTimeoutMs);
        QCOMPARE(second.text.value_or(QString()), twoLines.join(u'\n'));
    }

    void failureIsLogged()
    {
        // Without its language data the engine cannot start.
        const QByteArray previous = qgetenv("TESSDATA_PREFIX");
        qputenv("TESSDATA_PREFIX", "/nonexistent-tessdata");
        QStringList log;
        OCRService service([&log](const QString &line) { log.append(line); });
        QObject context;
        Outcome outcome;
        service.extractText(textImage(twoLines), &context, recordInto(outcome));
        QTRY_VERIFY_WITH_TIMEOUT(outcome.called, recognitionTimeoutMs);
        if (previous.isNull())
            qunsetenv("TESSDATA_PREFIX");
        else
            qputenv("TESSDATA_PREFIX", previous);

        QVERIFY(!outcome.text);
        QCOMPARE(log.size(), 1);
        QVERIFY2(log.first().startsWith(u"Failed to perform OCR request: "_s), qPrintable(log.first()));
        QVERIFY(log.first().size() > u"Failed to perform OCR request: "_s.size());
    }

    // New images in a real store are recognised automatically; a clip deleted before its text arrives
    // stays deleted and no other clip gets its text.
    void automaticRecognitionInStore()
    {
        OCRService service(standardOutputLog(), 1);
        StoreFixture fixture;
        fixture.environment.recognizeText = [&service](const QImage &image, QObject *context, auto done) {
            service.recognize(image, context, std::move(done));
        };
        ClipboardStore &store = fixture.open();
        QVERIFY(store.autoExtractOCR());

        const CaptureResult deleted = store.addImageItem(textImage({u"Deleted clip text"_s}));
        const CaptureResult kept = store.addImageItem(textImage(twoLines));
        QVERIFY(deleted.recorded() && kept.recorded());
        store.deleteItem(*store.item(deleted.id), false);

        QTRY_VERIFY_WITH_TIMEOUT(store.item(kept.id) && store.item(kept.id)->hasExtractedText(), recognitionTimeoutMs);
        QCOMPARE(store.item(kept.id)->extractedText(), twoLines.join(u'\n'));
        QCoreApplication::processEvents();
        QVERIFY(!store.item(deleted.id));
        QCOMPARE(store.storedItemCount(), 1 + int(store.snippets().size()));
        QCOMPARE(store.filteredList(ClipType::All, {}, u"Deleted clip"_s).size(), 0);
    }
};

QTEST_MAIN(TestOCRService)
#include "tst_ocrservice.moc"
