// SPDX-License-Identifier: MIT
#include "InputTestRig.h"

#include <QDir>
#include <QTest>
#include <QThread>

using namespace Vexilo;
using namespace Vexilo::Test;

namespace {

const QString presentImage = QStringLiteral("present.png");

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

QStringList pasteKeys()
{
    return {QStringLiteral("9:100000:down"), QStringLiteral("9:100000:up")};
}

} // namespace

class TestPasteService : public QObject
{
    Q_OBJECT

private:
    // The target application is in front, then the HUD takes the focus.
    static RunningApplication presentHudOver(InputTestRig &rig)
    {
        const RunningApplication target =
            FakeWorkspace::makeApplication(QStringLiteral("org.example.editor"), QStringLiteral("Editor"));
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

        const QString clear = QStringLiteral("clear");
        const std::optional<QString> none;

        // Every text-like clip writes its text.
        QTest::newRow("text") << textClip(ClipType::Text, QStringLiteral("hello")) << none
                              << QStringList{clear, QStringLiteral("string:hello")};
        QTest::newRow("link") << textClip(ClipType::Url, QStringLiteral("https://example.com")) << none
                              << QStringList{clear, QStringLiteral("string:https://example.com")};
        QTest::newRow("code") << textClip(ClipType::Code, QStringLiteral("let a = 1")) << none
                              << QStringList{clear, QStringLiteral("string:let a = 1")};
        ClipItem snippet = textClip(ClipType::Snippets, QStringLiteral("Best regards"));
        snippet.setSnippet(true);
        snippet.setSnippetShortcut(QStringLiteral(";br"));
        QTest::newRow("snippet") << snippet << none << QStringList{clear, QStringLiteral("string:Best regards")};

        // Files go as one write, in stored order.
        QTest::newRow("three files in order")
            << fileClip(QStringList{QStringLiteral("/b/2"), QStringLiteral("/a/1"), QStringLiteral("/c/3")}) << none
            << QStringList{clear, QStringLiteral("files:/b/2|/a/1|/c/3")};
        QTest::newRow("image from the images folder")
            << imageClip(presentImage) << none << QStringList{clear, QStringLiteral("image:12x8")};

        // Missing content leaves the clipboard cleared and empty.
        QTest::newRow("text clip without text") << clipOf(ClipType::Text) << none << QStringList{clear};
        QTest::newRow("file clip without paths") << fileClip(std::nullopt) << none << QStringList{clear};
        QTest::newRow("image file gone") << imageClip(QStringLiteral("gone.png")) << none << QStringList{clear};
        QTest::newRow("image without file name") << imageClip(std::nullopt) << none << QStringList{clear};
        QTest::newRow("image name outside the folder")
            << imageClip(QStringLiteral("../") + presentImage) << none << QStringList{clear};

        // A custom text replaces the content of any kind of clip.
        const std::optional<QString> custom(QStringLiteral("CUSTOM"));
        QTest::newRow("custom text on text") << textClip(ClipType::Text, QStringLiteral("hello")) << custom
                                             << QStringList{clear, QStringLiteral("string:CUSTOM")};
        QTest::newRow("custom text on image")
            << imageClip(presentImage) << custom << QStringList{clear, QStringLiteral("string:CUSTOM")};
        QTest::newRow("custom text on files") << fileClip(QStringList{QStringLiteral("/a")}) << custom
                                              << QStringList{clear, QStringLiteral("string:CUSTOM")};
        QTest::newRow("empty custom text")
            << textClip(ClipType::Text, QStringLiteral("hello")) << std::optional<QString>(QString())
            << QStringList{clear, QStringLiteral("string:")};
    }

    void copyToPasteboard()
    {
        QFETCH(ClipItem, item);
        QFETCH(std::optional<QString>, customText);
        QFETCH(QStringList, writes);

        InputTestRig rig;
        QImage image(12, 8, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        QVERIFY(QDir().mkpath(rig.fixture.imagesDirectory()));
        QVERIFY(image.save(rig.fixture.imagesDirectory() + u'/' + presentImage));
        rig.pasteboard.setText(QStringLiteral("previous"));

        rig.paste.copyToPasteboard(item, customText);
        QCOMPARE(rig.pasteboard.writes(), writes);
        QCOMPARE(rig.monitor.lastChangeCount(), rig.pasteboard.changeCount());
        QCOMPARE(rig.copySounds(), 1);
    }

    void copyPlainText()
    {
        InputTestRig rig;
        rig.paste.copyPlainText(QStringLiteral("just this"));
        QCOMPARE(rig.pasteboard.writes(), (QStringList{QStringLiteral("clear"), QStringLiteral("string:just this")}));
        QCOMPARE(rig.monitor.lastChangeCount(), rig.pasteboard.changeCount());
        QCOMPARE(rig.copySounds(), 1);
    }

    void pasteWithoutAutoPasteOnlyCopies()
    {
        InputTestRig rig;
        presentHudOver(rig);
        rig.store.setAutoPasteOnSelect(false);
        rig.paste.pasteItem(textClip(ClipType::Text, QStringLiteral("only copied")));
        QCOMPARE(rig.pasteboard.contents().string, std::optional<QString>(QStringLiteral("only copied")));
        QVERIFY(rig.windows.calls.isEmpty());
        QVERIFY(rig.workspace.activations().isEmpty());
        QTest::qWait(PasteService::pasteDelayMs + 150);
        QCOMPARE(rig.keys.postedKeyCount(), 0);
    }

    void pasteGoesBackToTheTarget()
    {
        InputTestRig rig;
        const RunningApplication target = presentHudOver(rig);
        rig.paste.pasteItem(textClip(ClipType::Text, QStringLiteral("pasted")), QStringLiteral("custom"));

        QCOMPARE(rig.pasteboard.contents().string, std::optional<QString>(QStringLiteral("custom")));
        QCOMPARE(rig.windows.calls,
                 (QStringList{QStringLiteral("dismissMainInterface"), QStringLiteral("hideApplication")}));
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
        rig.paste.pasteItem(textClip(ClipType::Text, QStringLiteral("to whatever is in front")));
        QVERIFY(rig.workspace.activations().isEmpty());
        QTRY_COMPARE(rig.keys.postedKeySummary(), pasteKeys());
    }

    void targetThatQuitGetsNoKeystroke_data()
    {
        QTest::addColumn<bool>("quitBeforePaste");

        // Gone before the paste, or during the wait for it to come to the front: copy only.
        QTest::newRow("quit before") << true;
        QTest::newRow("quit during the delay") << false;
    }

    void targetThatQuitGetsNoKeystroke()
    {
        QFETCH(bool, quitBeforePaste);

        InputTestRig rig;
        const RunningApplication target = presentHudOver(rig);
        if (quitBeforePaste)
            rig.workspace.terminate(target);
        rig.paste.pasteItem(textClip(ClipType::Text, QStringLiteral("kept on the clipboard")));
        if (!quitBeforePaste) {
            QCOMPARE(rig.workspace.activations().size(), 1);
            rig.workspace.terminate(target);
        } else {
            QVERIFY(rig.workspace.activations().isEmpty());
        }
        QCOMPARE(rig.pasteboard.contents().string, std::optional<QString>(QStringLiteral("kept on the clipboard")));
        QCOMPARE(rig.windows.calls.first(), QStringLiteral("dismissMainInterface"));
        QTest::qWait(PasteService::pasteDelayMs + 150);
        QCOMPARE(rig.keys.postedKeyCount(), 0);
    }

    void untrustedPasteOnlyCopies()
    {
        InputTestRig rig;
        const RunningApplication target = presentHudOver(rig);
        rig.keys.setAvailable(false);
        rig.paste.pasteItem(textClip(ClipType::Text, QStringLiteral("copied")));
        QCOMPARE(rig.workspace.activations(), QList<RunningApplication>{target});
        QTest::qWait(PasteService::pasteDelayMs + 150);
        QCOMPARE(rig.keys.postedKeyCount(), 0);
        QCOMPARE(rig.pasteboard.contents().string, std::optional<QString>(QStringLiteral("copied")));
    }

    void pasteKeystroke()
    {
        InputTestRig rig;
        QThread *completionThread = nullptr;
        int completions = 0;
        rig.paste.simulatePasteKeystroke([&] {
            completionThread = QThread::currentThread();
            ++completions;
        });
        QCOMPARE(completions, 0);
        QTRY_COMPARE(completions, 1);
        QCOMPARE(completionThread, QThread::currentThread());
        QCOMPARE(rig.keys.postedKeySummary(), pasteKeys());
        QVERIFY(rig.keys.postedKeys().first().thread != QThread::currentThread());
    }

    void simulateBackspaces_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("trusted");
        QTest::addColumn<int>("posted");

        // Nothing to send, or no permission to send it: the completion runs at once.
        QTest::newRow("zero") << 0 << true << 0;
        QTest::newRow("negative") << -3 << true << 0;
        QTest::newRow("untrusted") << 4 << false << 0;
        // Otherwise one press and release per Backspace, and the completion comes later.
        QTest::newRow("one") << 1 << true << 1;
        QTest::newRow("six") << 6 << true << 6;
    }

    void simulateBackspaces()
    {
        QFETCH(int, count);
        QFETCH(bool, trusted);
        QFETCH(int, posted);

        InputTestRig rig;
        rig.keys.setAvailable(trusted);
        QThread *completionThread = nullptr;
        int completions = 0;
        rig.paste.simulateBackspaces(count, [&] {
            completionThread = QThread::currentThread();
            ++completions;
        });
        if (posted == 0) {
            QCOMPARE(completions, 1);
            QTest::qWait(50);
            QCOMPARE(rig.keys.postedKeyCount(), 0);
            QCOMPARE(completions, 1);
            return;
        }
        QCOMPARE(completions, 0);
        QTRY_COMPARE(completions, 1);
        QCOMPARE(completionThread, QThread::currentThread());
        QStringList expected;
        for (int i = 0; i < posted; ++i)
            expected << QStringLiteral("51:0:down") << QStringLiteral("51:0:up");
        QCOMPARE(rig.keys.postedKeySummary(), expected);
        for (const FakeKeySynthesizer::PostedKey &key : rig.keys.postedKeys())
            QVERIFY(key.thread != QThread::currentThread());
    }

    void untrustedKeystrokeCompletesAtOnce()
    {
        InputTestRig rig;
        rig.keys.setAvailable(false);
        int completions = 0;
        rig.paste.simulatePasteKeystroke([&] { ++completions; });
        QCOMPARE(completions, 1);
        rig.paste.simulatePasteKeystroke();
        QTest::qWait(50);
        QCOMPARE(rig.keys.postedKeyCount(), 0);
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
        QCOMPARE(summary.filter(QStringLiteral("51:0:")).size(), 8);
    }
};

QTEST_GUILESS_MAIN(TestPasteService)
#include "tst_pasteservice.moc"
