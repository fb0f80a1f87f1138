// SPDX-License-Identifier: MIT
#include "AccessibilityPermission.h"
#include "ClipboardMonitor.h"
#include "FakeKeyEventSource.h"
#include "FakeKeySynthesizer.h"
#include "FakePasteboard.h"
#include "FakeWorkspace.h"
#include "FocusRestoration.h"
#include "PasteService.h"
#include "QRSheetModel.h"
#include "RecordingWindowController.h"
#include "SaveFileChooser.h"
#include "StoreFixture.h"

#include <QImageReader>
#include <QTemporaryDir>
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

// A store whose clips share as "<text>#<n-th payload>", the clipboard and its monitor over fakes,
// the paste service, and the sheet wired to them as the application wires it.
class SheetRig
{
public:
    SheetRig()
        : store(openStore(fixture, payloads, sharingStops))
        , monitor(&pasteboard, &workspace, &store)
        , focus(&workspace)
        , permission(&keys, &keyEvents, &workspace, &fixture.settings(), [](const QString &) {})
        , paste(PasteService::Dependencies{&store, &pasteboard, &monitor, &workspace, &keys, &permission, &focus,
                                           &windows, fixture.environment.playSound})
        , sheet(QRSheetModel::Dependencies{
              &store,
              fixture.environment.qrPayload,
              {},
              [this](const QString &text) { paste.copyPlainText(text); },
              [this](const QImage &image) {
                  pasteboard.clearContents();
                  pasteboard.writeImage(image);
              },
              &fixture.clock,
              &chooser,
              [] { return qint64(1733400000); },
          })
    { }

    // Opens the sheet on a new text clip.
    void present(const QString &text)
    {
        const CaptureResult added = store.addTextItem(text);
        QVERIFY(store.presentQR(*store.item(added.id)));
    }
    [[nodiscard]] int clipCount() const { return int(store.items(QString(), ClipType::All, 1000, false).size()); }

    StoreFixture fixture;
    std::shared_ptr<int> payloads = std::make_shared<int>(0);
    std::shared_ptr<int> sharingStops = std::make_shared<int>(0);
    ClipboardStore &store;
    FakePasteboard pasteboard;
    FakeWorkspace workspace;
    FakeKeySynthesizer keys;
    FakeKeyEventSource keyEvents;
    RecordingWindowController windows;
    ClipboardMonitor monitor;
    FocusRestoration focus;
    AccessibilityPermission permission;
    PasteService paste;
    FakeSaveFileChooser chooser;
    QRSheetModel sheet;

private:
    static ClipboardStore &openStore(StoreFixture &fixture, std::shared_ptr<int> payloads, std::shared_ptr<int> stops)
    {
        fixture.environment.qrPayload = [payloads](const ClipItem &item) -> QString {
            return item.textContent() + u'#' + QString::number(++*payloads);
        };
        fixture.environment.stopSharing = [stops] { ++*stops; };
        return fixture.open();
    }
};

} // namespace

class TestQRSheetModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void opensWithAFreshPayloadAndCloses()
    {
        SheetRig rig;
        QVERIFY(!rig.sheet.active());
        rig.present(u"hello"_s);

        // The store checked one payload; the sheet carries its own, newer one.
        QVERIFY(rig.sheet.active());
        QCOMPARE(rig.sheet.content(), u"hello#2"_s);
        QCOMPARE(rig.sheet.qrImage().size(), QSize(280, 280));

        rig.sheet.dismiss();
        QVERIFY(!rig.sheet.active());
        QVERIFY(!rig.store.activeQRCodeItem());
        QCOMPARE(*rig.sharingStops, 1);
    }

    void contentFeedbackRestartsOnSecondPress()
    {
        SheetRig rig;
        rig.present(u"hello"_s);
        rig.sheet.copyEncodedContent();
        rig.fixture.clock += 0.6;
        rig.sheet.copyEncodedContent();
        rig.fixture.clock += 0.6;
        QVERIFY(rig.sheet.copiedContentFeedback());
        rig.fixture.clock += 0.45;
        QVERIFY(!rig.sheet.copiedContentFeedback());
        QVERIFY(!rig.sheet.copiedFeedback());
    }

    void contentCopyIsNotRecordedButImageCopyIs()
    {
        SheetRig rig;
        rig.present(u"hello"_s);
        const int before = rig.clipCount();
        rig.monitor.startMonitoring(0.02);

        rig.sheet.copyEncodedContent();
        QCOMPARE(rig.pasteboard.contents().string, std::optional<QString>(u"hello#2"_s));
        QTest::qWait(120);
        QCOMPARE(rig.clipCount(), before);

        rig.sheet.copyQRImage();
        QVERIFY(rig.sheet.copiedFeedback());
        QTRY_COMPARE(rig.clipCount(), before + 1);
        QCOMPARE(rig.store.items().first().type(), ClipType::Image);
    }

    void saveRendersLargeCode_data()
    {
        QTest::addColumn<bool>("confirmed");
        QTest::newRow("confirmed") << true;
        QTest::newRow("cancelled") << false;
    }

    void saveRendersLargeCode()
    {
        QFETCH(bool, confirmed);
        const QTemporaryDir target;
        SheetRig rig;
        rig.present(u"hello"_s);
        if (confirmed)
            rig.chooser.path = target.path() + u"/code.png"_s;

        rig.sheet.saveQRImage();
        QCOMPARE(rig.chooser.suggested, QStringList{u"qrcode_1733400000.png"_s});
        const QStringList written = QDir(target.path()).entryList(QDir::Files);
        QCOMPARE(written.size(), confirmed ? 1 : 0);
        if (confirmed) {
            QImageReader reader(target.path() + u"/code.png"_s);
            QCOMPARE(reader.format(), QByteArray("png"));
            QCOMPARE(reader.size(), QSize(1024, 1024));
        }
    }
};

QTEST_GUILESS_MAIN(TestQRSheetModel)
#include "tst_qrsheetmodel.moc"
