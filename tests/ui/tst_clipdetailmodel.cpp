// SPDX-License-Identifier: MIT
#include "ClipDetailModel.h"
#include "FakeTextRecognizer.h"
#include "SaveFileChooser.h"
#include "StoreFixture.h"
#include "TextExcerpt.h"

#include <QDir>
#include <QImageReader>
#include <QSignalSpy>
#include <QTest>

using namespace Vexilo;
using namespace Vexilo::Test;
using namespace Qt::StringLiterals;

namespace {

class FakeSaveFileChooser : public SaveFileChooser
{
public:
    void chooseSaveLocation(const SaveRequest &request, Answer answer) override
    {
        suggested.append(request.suggestedName);
        answer(path);
    }
    std::optional<QString> path;
    QStringList suggested;
};

struct Copy
{
    QUuid id;
    std::optional<QString> text;
};

// A store over a history written before it opens, and a detail model over it with recording fakes.
class DetailRig
{
public:
    void open(const QList<ClipItem> &history)
    {
        fixture.writeHistory(history);
        store = &fixture.open();
        model = std::make_unique<ClipDetailModel>(ClipDetailModel::Dependencies{
            store,
            [this](const ClipItem &item, const std::optional<QString> &text) {
                pastes.append({item.id(), text});
            },
            [this](const ClipItem &item, const std::optional<QString> &text) {
                copies.append({item.id(), text});
            },
            [this](const QString &text) { plainCopies.append(text); },
            [this](const QImage &image, QObject *context, std::function<void(std::optional<QString>)> done) {
                recognizer.recognize(image, context, std::move(done));
            },
            {},
            {},
            &fixture.clock,
            &chooser,
            [] { return qint64(1733400000); },
        });
    }
    // Opens on the one clip and selects it.
    void show(const ClipItem &clip)
    {
        open({clip});
        store->setSelectedItem(store->item(clip.id()));
    }

    StoreFixture fixture;
    ClipboardStore *store = nullptr;
    FakeTextRecognizer recognizer;
    FakeSaveFileChooser chooser;
    QList<Copy> pastes;
    QList<Copy> copies;
    QStringList plainCopies;
    std::unique_ptr<ClipDetailModel> model;
};

ClipItem clipOf(ClipType type, const QString &text)
{
    ClipItem clip(QUuid::createUuid(), 790000000.0, type);
    clip.setTextContent(text);
    return clip;
}

// An image clip whose file (w × h pixels) is in the fixture's images folder, or not.
ClipItem imageClip(StoreFixture &fixture, int width, int height, bool fileExists = true)
{
    ClipItem clip(QUuid::createUuid(), 790000000.0, ClipType::Image);
    const QString name = clip.idString() + u".png"_s;
    clip.setImageFileName(name);
    clip.setImageSize(width, height);
    if (fileExists) {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        QDir().mkpath(fixture.imagesDirectory());
        image.save(fixture.imagesDirectory() + u'/' + name);
    }
    return clip;
}

int modeIndex(TextTransformMode mode)
{
    return int(std::find(TextTransformModes::allCases.begin(), TextTransformModes::allCases.end(), mode) -
               TextTransformModes::allCases.begin());
}

} // namespace

class TestClipDetailModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void feedbackStaysFullTimeFromLatestMessage()
    {
        const ClipItem clip = clipOf(ClipType::Text, u"not base64!"_s);
        DetailRig rig;
        rig.show(clip);

        rig.model->transform(modeIndex(TextTransformMode::Base64Decoded));
        QCOMPARE(rig.model->feedback(), u"Not a valid Base64 string"_s);
        rig.fixture.clock += 1.0;
        rig.model->transform(modeIndex(TextTransformMode::Uppercase));
        QCOMPARE(rig.model->feedback(), u"Copied as UPPERCASE"_s);
        // The first message's 1.2 s have passed; the second's have not.
        rig.fixture.clock += 1.1;
        QCOMPARE(rig.model->feedback(), u"Copied as UPPERCASE"_s);
        rig.fixture.clock += 0.15;
        QCOMPARE(rig.model->feedback(), QString());
    }

    void transforms_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("mode");
        QTest::addColumn<std::optional<QString>>("copied");
        QTest::addColumn<QString>("feedback");

        QTest::newRow("invalid Base64 copies nothing")
            << u"not base64!"_s << modeIndex(TextTransformMode::Base64Decoded) << std::optional<QString>()
            << u"Not a valid Base64 string"_s;
        QTest::newRow("valid Base64") << u"aGk="_s << modeIndex(TextTransformMode::Base64Decoded)
                                      << std::optional<QString>(u"hi"_s) << u"Copied as Base64 Decode"_s;
        // More than the pane shows: the transform still takes all of it.
        const QString big = u"ab "_s.repeated(100000);
        QTest::newRow("text beyond the display limit")
            << big << modeIndex(TextTransformMode::Uppercase) << std::optional<QString>(big.toUpper())
            << u"Copied as UPPERCASE"_s;
    }

    void transforms()
    {
        QFETCH(QString, text);
        QFETCH(int, mode);
        QFETCH(std::optional<QString>, copied);

        const ClipItem clip = clipOf(ClipType::Text, text);
        DetailRig rig;
        rig.show(clip);
        rig.model->transform(mode);

        QCOMPARE(rig.copies.size(), copied ? 1 : 0);
        if (copied) {
            QCOMPARE(rig.copies.first().id, clip.id());
            QCOMPARE(rig.copies.first().text, copied);
        }
        QTEST(rig.model->feedback(), "feedback");
    }

    void tagSubmission_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QStringList>("tags");
        QTest::addColumn<QString>("inputAfter");

        QTest::newRow("blanks add nothing and stay") << u" \t \n"_s << QStringList() << u" \t \n"_s;
        QTest::newRow("trimmed and added") << u"  work \n"_s << QStringList{u"work"_s} << QString();
    }

    void tagSubmission()
    {
        QFETCH(QString, input);
        const ClipItem clip = clipOf(ClipType::Text, u"hello"_s);
        DetailRig rig;
        rig.show(clip);

        rig.model->setNewTagText(input);
        rig.model->submitNewTag();
        QTEST(rig.model->tags(), "tags");
        QTEST(rig.store->item(clip.id())->tags(), "tags");
        QTEST(rig.model->newTagText(), "inputAfter");
    }

    void textRecognition_data()
    {
        QTest::addColumn<std::optional<QString>>("result");
        QTest::addColumn<QString>("extracted");
        QTest::addColumn<QString>("feedback");

        QTest::newRow("nothing found") << std::optional<QString>(QString()) << QString()
                                       << u"No readable text found in image"_s;
        QTest::newRow("recognizer failed")
            << std::optional<QString>() << QString() << u"No readable text found in image"_s;
        QTest::newRow("text found") << std::optional<QString>(u"Invoice 42"_s) << u"Invoice 42"_s
                                    << u"OCR Recognition Complete"_s;
    }

    void textRecognition()
    {
        QFETCH(std::optional<QString>, result);
        DetailRig rig;
        const ClipItem clip = imageClip(rig.fixture, 40, 30);
        rig.show(clip);
        QTRY_VERIFY(rig.model->hasDetailImage());

        rig.model->extractText();
        QVERIFY(rig.model->isExtractingOCR());
        QCOMPARE(rig.recognizer.pendingCount(), 1);
        rig.recognizer.finish(0, result);

        QVERIFY(!rig.model->isExtractingOCR());
        QTEST(rig.model->extractedText(), "extracted");
        QTEST(rig.model->feedback(), "feedback");
    }

    void imageFileMissing()
    {
        DetailRig rig;
        const ClipItem clip = imageClip(rig.fixture, 40, 30, false);
        rig.show(clip);

        QTRY_VERIFY(rig.model->imageMissing());
        QVERIFY(!rig.model->hasDetailImage());
        // Nothing to recognise or save without a picture.
        rig.model->extractText();
        rig.model->saveImage();
        QVERIFY(!rig.model->isExtractingOCR());
        QVERIFY(rig.chooser.suggested.isEmpty());
    }

    void largeTextShowsItsBeginning_data()
    {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<int>("unitsPerCharacter");
        QTest::newRow("ASCII") << u"a"_s << 1;
        // Two UTF-16 units per character: the cut must not split a pair.
        QTest::newRow("astral") << u"😀"_s << 2;
    }

    void largeTextShowsItsBeginning()
    {
        QFETCH(QString, unit);
        QFETCH(int, unitsPerCharacter);
        const ClipItem clip = clipOf(ClipType::Text, unit.repeated(250000));
        DetailRig rig;
        rig.show(clip);

        QVERIFY(rig.model->isTruncated());
        QCOMPARE(rig.model->text().size(), 200000 * unitsPerCharacter);
        QVERIFY(rig.model->text().endsWith(unit));
        QTRY_COMPARE(rig.model->truncationText(), u"Showing the first 200,000 of 250,000 characters"_s);
        QCOMPARE(rig.model->countsText(), u"250000 chars • 1 words • 1 lines"_s);

        // Paste takes the clip, whose text is whole.
        rig.model->paste();
        QCOMPARE(rig.pastes.size(), 1);
        QCOMPARE(rig.store->item(rig.pastes.first().id)->textContent().size(), 250000 * unitsPerCharacter);
        QVERIFY(!rig.pastes.first().text);
    }

    void textPieces_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("pieces");

        QTest::newRow("short text is one piece") << u"hello"_s << QStringList{u"hello"_s};
        // The line break the cut falls on goes; a CR LF goes whole.
        QTest::newRow("cut at a line break") << u"aaaaaa\nbbbbbbbb"_s << QStringList{u"aaaaaa"_s, u"bbbbbbbb"_s};
        QTest::newRow("cut at CR LF") << u"aaaaaa\r\nbbbbbbb"_s << QStringList{u"aaaaaa"_s, u"bbbbbbb"_s};
        QTest::newRow("cut after a blank") << u"aaaa bbbb cccc"_s << QStringList{u"aaaa bbbb "_s, u"cccc"_s};
        QTest::newRow("hard cut") << u"abcdefghijkl"_s << QStringList{u"abcdefghij"_s, u"kl"_s};
        QTest::newRow("pair kept whole") << u"abcdefghi😀xy"_s << QStringList{u"abcdefghi"_s, u"😀xy"_s};
    }

    void textPieces()
    {
        QFETCH(QString, text);
        QTEST(TextExcerpt::pieces(text, 10), "pieces");
    }

    void longCodeShowsItsFirstLines()
    {
        QStringList lines;
        for (int i = 1; i <= 2000; ++i)
            lines.append(u"let value%1 = %1 // note"_s.arg(i));
        const ClipItem clip = clipOf(ClipType::Code, lines.join(u'\n'));
        DetailRig rig;
        rig.show(clip);

        QVERIFY(rig.model->isCode());
        const QVariantList pieces = rig.model->codePieces();
        QCOMPARE(rig.model->codeShownLines(), 300);
        QVERIFY(pieces.last().toMap().value(u"lineNumbers"_s).toString().endsWith(u"\n299\n300"_s));
        QVERIFY(pieces.last().toMap().value(u"html"_s).toString().contains(u"value300"_s));
        QVERIFY(!pieces.last().toMap().value(u"html"_s).toString().contains(u"value301"_s));
        QTRY_COMPARE(rig.model->codeTruncationText(), u"Showing the first 300 of 2,000 lines"_s);
        QVERIFY(rig.model->codeHeaderText().startsWith(u"2000 lines • "_s));
    }

    void saveImage_data()
    {
        QTest::addColumn<bool>("confirmed");
        QTest::newRow("confirmed") << true;
        QTest::newRow("cancelled") << false;
    }

    void saveImage()
    {
        QFETCH(bool, confirmed);
        const QTemporaryDir target;
        const QString path = target.path() + u"/saved.png"_s;
        DetailRig rig;
        // Larger than the pane's picture, which must not be what gets saved.
        const ClipItem clip = imageClip(rig.fixture, 1600, 1200);
        rig.show(clip);
        QTRY_VERIFY(rig.model->hasDetailImage());
        QVERIFY(rig.model->detailImage().width() < 1600);

        if (confirmed)
            rig.chooser.path = path;
        rig.model->saveImage();
        QCOMPARE(rig.chooser.suggested, QStringList{u"clip_1733400000.png"_s});
        if (!confirmed) {
            QVERIFY(QDir(target.path()).isEmpty());
            return;
        }
        QTRY_VERIFY(QFile::exists(path));
        QImageReader reader(path);
        QCOMPARE(reader.format(), QByteArray("png"));
        QCOMPARE(reader.size(), QSize(1600, 1200));
    }

    void presentQRWithoutPayload()
    {
        // The fixture's store has no QR payload provider: nothing can be shared.
        const ClipItem clip = clipOf(ClipType::Text, u"hello"_s);
        DetailRig rig;
        rig.show(clip);
        rig.model->presentQR();
        QCOMPARE(rig.model->feedback(), u"No content to generate QR code."_s);
        QVERIFY(!rig.store->activeQRCodeItem());
    }
};

QTEST_GUILESS_MAIN(TestClipDetailModel)
#include "tst_clipdetailmodel.moc"
