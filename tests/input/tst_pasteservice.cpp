// SPDX-License-Identifier: MIT
#include "InputTestRig.h"

#include <QDir>
#include <QTest>
#include <QThread>

using namespace Vexilo;
using namespace Vexilo::Test;
using namespace Qt::StringLiterals;

namespace {

const QString presentImage = u"present.png"_s;

ClipItem clipOf(ClipType type)
{
    return ClipItem(QUuid::createUuid(), 0, type);
}

ClipItem textClip(ClipType type, const QString &text)
{
    ClipItem clip = clipOf(type);
    clip.setTextContent(text);
    return clip;
}

ClipItem fileClip(const std::optional<QStringList> &paths)
{
    ClipItem clip = clipOf(ClipType::File);
    clip.setFilePaths(paths);
    return clip;
}

ClipItem imageClip(const std::optional<QString> &fileName)
{
    ClipItem clip = clipOf(ClipType::Image);
    clip.setImageFileName(fileName);
    return clip;
}

} // namespace

class TestPasteService : public QObject
{
    Q_OBJECT

private:
    // The target application is in front, then the HUD takes the focus.
    static RunningApplication presentHudOver(InputTestRig &rig)
    {
        const RunningApplication target = FakeWorkspace::makeApplication(u"org.example.editor"_s, u"Editor"_s);
        rig.workspace.setFrontmostApplication(target);
        rig.focus.captureTargetBeforePresenting();
        rig.workspace.setFrontmostApplication(FakeWorkspace::makeApplication(rig.workspace.ownBundleIdentifier()));
        rig.windows.hudVisible = true;
        return target;
    }

private Q_SLOTS:
    void copyToPasteboard_data()
    {
        QTest::addColumn<ClipItem>("item");
        QTest::addColumn<std::optional<QString>>("customText");
        QTest::addColumn<QStringList>("writes");

        const QString clear = u"clear"_s;
        const std::optional<QString> none;

        // Every text-like clip writes its text.
        QTest::newRow("text") << textClip(ClipType::Text, u"hello"_s) << none << QStringList{clear, u"string:hello"_s};
        QTest::newRow("snippet") << snippet(u"Best regards"_s, u";br"_s) << none
                                 << QStringList{clear, u"string:Best regards"_s};

        // Files go as one write, in stored order.
        QTest::newRow("three files in order") << fileClip(QStringList{u"/b/2"_s, u"/a/1"_s, u"/c/3"_s}) << none
                                              << QStringList{clear, u"files:/b/2|/a/1|/c/3"_s};
        QTest::newRow("image from the images folder")
            << imageClip(presentImage) << none << QStringList{clear, u"image:12x8"_s};

        // Missing content leaves the clipboard cleared and empty.
        QTest::newRow("text clip without text") << clipOf(ClipType::Text) << none << QStringList{clear};
        QTest::newRow("file clip without paths") << fileClip(std::nullopt) << none << QStringList{clear};
        QTest::newRow("image file gone") << imageClip(u"gone.png"_s) << none << QStringList{clear};
        QTest::newRow("image without file name") << imageClip(std::nullopt) << none << QStringList{clear};
        QTest::newRow("image name outside the folder")
            << imageClip(u"../"_s + presentImage) << none << QStringList{clear};

        // A custom text replaces the content of any kind of clip.
        const std::optional<QString> custom(u"CUSTOM"_s);
        QTest::newRow("custom text on image")
            << imageClip(presentImage) << custom << QStringList{clear, u"string:CUSTOM"_s};
        QTest::newRow("empty custom text") << textClip(ClipType::Text, u"hello"_s) << std::optional<QString>(QString())
                                           << QStringList{clear, u"string:"_s};
    }

    void copyToPasteboard()
    {
        QFETCH(ClipItem, item);
        QFETCH(std::optional<QString>, customText);

        InputTestRig rig;
        QImage image(12, 8, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        QVERIFY(QDir().mkpath(rig.fixture.imagesDirectory()));
        QVERIFY(image.save(rig.fixture.imagesDirectory() + u'/' + presentImage));
        rig.pasteboard.setText(u"previous"_s);

        rig.paste.copyToPasteboard(item, customText);
        QTEST(rig.pasteboard.writes(), "writes");
        QCOMPARE(rig.monitor.lastChangeCount(), rig.pasteboard.changeCount());
        QCOMPARE(rig.copySounds(), 1);
    }

    void copyPlainText()
    {
        InputTestRig rig;
        rig.paste.copyPlainText(u"just this"_s);
        QCOMPARE(rig.pasteboard.writes(), (QStringList{u"clear"_s, u"string:just this"_s}));
        QCOMPARE(rig.monitor.lastChangeCount(), rig.pasteboard.changeCount());
        QCOMPARE(rig.copySounds(), 1);
    }

    void pasteGoesBackToTheTarget()
    {
        InputTestRig rig;
        const RunningApplication target = presentHudOver(rig);
        rig.paste.pasteItem(textClip(ClipType::Text, u"pasted"_s), u"custom"_s);

        QCOMPARE(rig.pasteboard.contents().string, std::optional<QString>(u"custom"_s));
        QCOMPARE(rig.windows.calls, (QStringList{u"dismissMainInterface"_s, u"hideApplication"_s}));
        QCOMPARE(rig.workspace.activations(), QList<RunningApplication>{target});
        // The keystroke waits for the target to take the keyboard.
        QCOMPARE(rig.keys.postedKeyCount(), 0);
        QTRY_COMPARE(rig.keys.postedKeySummary(), pasteKeys());
        for (const FakeKeySynthesizer::PostedKey &key : rig.keys.postedKeys())
            QVERIFY(key.thread != QThread::currentThread());
    }

    void pasteWithoutTargetStillTypes()
    {
        InputTestRig rig;
        rig.paste.pasteItem(textClip(ClipType::Text, u"to whatever is in front"_s));
        QVERIFY(rig.workspace.activations().isEmpty());
        QTRY_COMPARE(rig.keys.postedKeySummary(), pasteKeys());
    }

    void pasteThatOnlyCopies_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<bool>("activated");

        // With auto-paste off nothing is dismissed or brought back. Without permission to type, or
        // when the target quit before the paste or while it was coming back, no keystroke follows.
        QTest::newRow("auto-paste off") << u"manual"_s << false;
        QTest::newRow("untrusted") << u"untrusted"_s << true;
        QTest::newRow("target quit before") << u"quit before"_s << false;
        QTest::newRow("target quit during the delay") << u"quit during"_s << true;
    }

    void pasteThatOnlyCopies()
    {
        QFETCH(QString, situation);
        QFETCH(bool, activated);

        InputTestRig rig;
        const RunningApplication target = presentHudOver(rig);
        rig.store.setAutoPasteOnSelect(situation != u"manual");
        rig.keys.setAvailable(situation != u"untrusted");
        if (situation == u"quit before")
            rig.workspace.terminate(target);
        rig.paste.pasteItem(textClip(ClipType::Text, u"kept on the clipboard"_s));
        QCOMPARE(rig.workspace.activations(),
                 activated ? QList<RunningApplication>{target} : QList<RunningApplication>{});
        if (situation == u"quit during")
            rig.workspace.terminate(target);
        QCOMPARE(rig.pasteboard.contents().string, std::optional<QString>(u"kept on the clipboard"_s));
        QCOMPARE(rig.windows.calls.value(0), situation == u"manual" ? QString() : u"dismissMainInterface"_s);
        QTest::qWait(PasteService::pasteDelayMs + 150);
        QCOMPARE(rig.keys.postedKeyCount(), 0);
    }

    void keystrokes_data()
    {
        QTest::addColumn<bool>("paste"); // else Backspaces
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("trusted");
        QTest::addColumn<QStringList>("posted");

        // Nothing to send, or no permission to send it: the completion runs at once.
        QTest::newRow("zero backspaces") << false << 0 << true << QStringList();
        QTest::newRow("negative count") << false << -3 << true << QStringList();
        QTest::newRow("untrusted backspaces") << false << 4 << false << QStringList();
        QTest::newRow("untrusted paste") << true << 0 << false << QStringList();
        // Otherwise one press and release per key, off the main thread, and the completion later.
        QTest::newRow("six backspaces") << false << 6 << true << pasteKeys(6).mid(0, 12);
        QTest::newRow("paste") << true << 0 << true << pasteKeys();
    }

    void keystrokes()
    {
        QFETCH(bool, paste);
        QFETCH(int, count);
        QFETCH(bool, trusted);
        QFETCH(QStringList, posted);

        InputTestRig rig;
        rig.keys.setAvailable(trusted);
        QThread *completionThread = nullptr;
        int completions = 0;
        const auto done = [&] {
            completionThread = QThread::currentThread();
            ++completions;
        };
        if (paste)
            rig.paste.simulatePasteKeystroke(done);
        else
            rig.paste.simulateBackspaces(count, done);
        QCOMPARE(completions, posted.isEmpty() ? 1 : 0);
        QTRY_COMPARE(completions, 1);
        QCOMPARE(completionThread, QThread::currentThread());
        QTest::qWait(posted.isEmpty() ? 50 : 0);
        QCOMPARE(rig.keys.postedKeySummary(), posted);
        QCOMPARE(completions, 1);
        for (const FakeKeySynthesizer::PostedKey &key : rig.keys.postedKeys())
            QVERIFY(key.thread != QThread::currentThread());
    }

    void pasteWaitsForHeldModifiers()
    {
        InputTestRig rig;
        // Far beyond the test, so only the release can end the wait.
        rig.paste.setModifierReleaseTimeout(60000);
        rig.keys.setModifiersHeld(true);
        int completions = 0;
        rig.paste.simulatePasteKeystroke([&] { ++completions; });
        QTRY_VERIFY(rig.keys.modifierQueries() > 2);
        QCOMPARE(rig.keys.postedKeyCount(), 0);

        rig.keys.setModifiersHeld(false);
        QTRY_COMPARE(completions, 1);
        QCOMPARE(rig.keys.postedKeySummary(), pasteKeys());
        for (const FakeKeySynthesizer::PostedKey &key : rig.keys.postedKeys())
            QVERIFY(!key.modifiersHeld);
    }

    void pasteGivesUpWaitingForModifiers()
    {
        InputTestRig rig;
        rig.paste.setModifierReleaseTimeout(40);
        rig.keys.setModifiersHeld(true);
        rig.paste.simulatePasteKeystroke();
        QTRY_COMPARE(rig.keys.postedKeySummary(), pasteKeys());
    }

    void keystrokesDoNotInterleave()
    {
        InputTestRig rig;
        rig.paste.simulateBackspaces(4);
        rig.paste.simulatePasteKeystroke();
        QTRY_COMPARE(rig.keys.postedKeyCount(), 10);
        const QStringList summary = rig.keys.postedKeySummary();
        QCOMPARE(summary.mid(8), pasteKeys());
        QCOMPARE(summary.filter(u"51:0:"_s).size(), 8);
    }
};

QTEST_GUILESS_MAIN(TestPasteService)
#include "tst_pasteservice.moc"
