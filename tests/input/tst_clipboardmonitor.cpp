// SPDX-License-Identifier: MIT
#include "InputTestRig.h"

#include <QTest>

using namespace Vexilo;
using namespace Vexilo::Test;

namespace {

using Contents = FakePasteboard::Contents;

// Long enough that only a change notification can trigger a check during a test.
constexpr double idlePoll = 3600.0;
constexpr double fastPoll = 0.02;

QImage solidImage(int width, int height, QColor color)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(color);
    return image;
}

Contents textContents(const QString &text, const QStringList &extraTypes = {})
{
    Contents contents;
    contents.types = QStringList{QStringLiteral("text/plain")} + extraTypes;
    contents.string = text;
    return contents;
}

// "none", or the kind of the newest clip and what it holds.
QString describeNewest(const InputTestRig &rig, int countBefore)
{
    const QList<ClipItem> history = rig.history();
    if (history.size() == countBefore)
        return QStringLiteral("none");
    const ClipItem &clip = history.first();
    switch (clip.type()) {
    case ClipType::File:
        return QStringLiteral("file:") + clip.filePaths().join(u'|');
    case ClipType::Image:
        return QStringLiteral("image:%1x%2").arg(clip.imageWidth().value_or(-1)).arg(clip.imageHeight().value_or(-1));
    case ClipType::Url:
        return QStringLiteral("url:") + clip.textContent();
    default:
        return QStringLiteral("text:") + clip.textContent();
    }
}

} // namespace

class TestClipboardMonitor : public QObject
{
    Q_OBJECT

private:
    // Waits until the monitor has looked at the current contents.
    static bool waitForCheck(const InputTestRig &rig)
    {
        return QTest::qWaitFor([&] { return rig.monitor.lastChangeCount() == rig.pasteboard.changeCount(); });
    }

private Q_SLOTS:
    void recordsOneKindPerCopy_data()
    {
        QTest::addColumn<Contents>("contents");
        QTest::addColumn<QString>("expected");

        const QString a = QStringLiteral("/home/ana/a.txt");
        const QString b = QStringLiteral("/home/ana/b.pdf");
        const QString c = QStringLiteral("/home/ana/c d.png");

        // Text is recorded exactly as copied, unless it is blank.
        QTest::newRow("plain text") << textContents(QStringLiteral("hello")) << QStringLiteral("text:hello");
        QTest::newRow("surrounding whitespace kept")
            << textContents(QStringLiteral("  hi there \n")) << QStringLiteral("text:  hi there \n");
        QTest::newRow("spaces tabs and newlines only")
            << textContents(QStringLiteral(" \t\n \r\n")) << QStringLiteral("none");
        QTest::newRow("empty string") << textContents(QString()) << QStringLiteral("none");
        QTest::newRow("nothing readable")
            << Contents{{QStringLiteral("application/x-custom")}, {}, {}, {}, {}} << QStringLiteral("none");

        // A file list wins over everything; its order is kept.
        Contents fileManagerCopy;
        fileManagerCopy.types = {QStringLiteral("text/uri-list"), QStringLiteral("image/png"),
                                 QStringLiteral("text/plain")};
        fileManagerCopy.fileUrlPaths = {a};
        fileManagerCopy.images = {solidImage(16, 16, Qt::red)};
        fileManagerCopy.string = QStringLiteral("a.txt");
        QTest::newRow("file url beats icon and name") << fileManagerCopy << QStringLiteral("file:") + a;

        Contents severalFiles;
        severalFiles.types = {QStringLiteral("text/uri-list")};
        severalFiles.fileUrlPaths = {c, a, b};
        severalFiles.legacyFileNames = QStringList{b};
        QTest::newRow("several files in order, urls beat legacy list")
            << severalFiles << QStringLiteral("file:") + QStringList{c, a, b}.join(u'|');

        Contents legacyOnly;
        legacyOnly.types = {QStringLiteral("x-special/gnome-copied-files"), QStringLiteral("text/plain")};
        legacyOnly.legacyFileNames = QStringList{b, a};
        legacyOnly.string = b;
        QTest::newRow("legacy list when there are no urls") << legacyOnly << QStringLiteral("file:") + b + u'|' + a;

        Contents emptyLegacy;
        emptyLegacy.types = {QStringLiteral("x-special/gnome-copied-files"), QStringLiteral("text/plain")};
        emptyLegacy.legacyFileNames = QStringList{};
        emptyLegacy.string = QStringLiteral("fallback");
        QTest::newRow("empty legacy list falls through") << emptyLegacy << QStringLiteral("text:fallback");

        // A web link is no file: it is recorded through its text.
        Contents webLink;
        webLink.types = {QStringLiteral("text/uri-list"), QStringLiteral("text/plain")};
        webLink.string = QStringLiteral("https://example.com/page");
        QTest::newRow("web link recorded as text") << webLink << QStringLiteral("url:https://example.com/page");

        // An image beats text, and only the first image counts.
        Contents browserImage;
        browserImage.types = {QStringLiteral("image/png"), QStringLiteral("text/html"), QStringLiteral("text/plain")};
        browserImage.images = {solidImage(30, 20, Qt::blue)};
        browserImage.string = QStringLiteral("alt text");
        QTest::newRow("image beats text") << browserImage << QStringLiteral("image:30x20");

        Contents twoImages;
        twoImages.types = {QStringLiteral("image/png")};
        twoImages.images = {solidImage(7, 3, Qt::green), solidImage(50, 50, Qt::yellow)};
        QTest::newRow("only the first image") << twoImages << QStringLiteral("image:7x3");

        // Any concealed or transient marker blocks the copy, whatever else it carries.
        for (const QString &type : ClipboardMonitor::concealedTypes()) {
            Contents secret = textContents(QStringLiteral("hunter2"), {type});
            secret.images = {solidImage(4, 4, Qt::black)};
            QTest::addRow("concealed %s", qPrintable(type)) << secret << QStringLiteral("none");
        }
        QTest::newRow("older transient marker")
            << textContents(QStringLiteral("x"), {QStringLiteral("de.petermaurer.TransientPasteboardType")})
            << QStringLiteral("none");
        QTest::newRow("marker names compare exactly")
            << textContents(QStringLiteral("kept"), {QStringLiteral("org.nspasteboard.concealedtype")})
            << QStringLiteral("text:kept");
    }

    void recordsOneKindPerCopy()
    {
        QFETCH(Contents, contents);
        QFETCH(QString, expected);

        InputTestRig rig;
        const int before = int(rig.history().size());
        rig.monitor.startMonitoring(idlePoll);
        rig.pasteboard.setContents(contents);
        QVERIFY(waitForCheck(rig));
        QCOMPARE(describeNewest(rig, before), expected);
        QVERIFY(rig.history().size() <= before + 1);
    }

    void frontmostApplication_data()
    {
        QTest::addColumn<std::optional<QString>>("bundleId");
        QTest::addColumn<bool>("recorded");

        // Only an application with an identifier on the ignore list blocks a copy.
        QTest::newRow("ignored application") << std::optional<QString>(QStringLiteral("org.example.vault")) << false;
        QTest::newRow("other application") << std::optional<QString>(QStringLiteral("org.example.editor")) << true;
        QTest::newRow("application without identifier") << std::optional<QString>() << true;
    }

    void frontmostApplication()
    {
        QFETCH(std::optional<QString>, bundleId);
        QFETCH(bool, recorded);

        InputTestRig rig;
        rig.store.setIgnoredAppBundleIds({QStringLiteral("org.example.vault")});
        const RunningApplication app = FakeWorkspace::makeApplication(bundleId, QStringLiteral("Some App"));
        rig.workspace.setFrontmostApplication(app);
        const int before = int(rig.history().size());
        rig.monitor.startMonitoring(idlePoll);
        rig.pasteboard.setText(QStringLiteral("copied"));
        QVERIFY(waitForCheck(rig));
        QCOMPARE(rig.history().size(), before + (recorded ? 1 : 0));
        if (recorded) {
            const ClipItem clip = rig.history().first();
            QCOMPARE(clip.sourceAppName(), QStringLiteral("Some App"));
            QCOMPARE(clip.hasSourceAppBundleId(), bundleId.has_value());
            if (bundleId)
                QCOMPARE(clip.sourceAppBundleId(), *bundleId);
        }
    }

    void sourceIsWhateverIsFrontmostAtTheCheck()
    {
        InputTestRig rig;
        rig.monitor.startMonitoring(idlePoll);
        rig.pasteboard.setText(QStringLiteral("no application in front"));
        QVERIFY(waitForCheck(rig));
        QVERIFY(!rig.history().first().hasSourceAppName());

        rig.workspace.setFrontmostApplication(
            FakeWorkspace::makeApplication(QStringLiteral("org.example.b"), QStringLiteral("B")));
        rig.pasteboard.setText(QStringLiteral("written by A, B in front"));
        QVERIFY(waitForCheck(rig));
        QCOMPARE(rig.history().first().sourceAppName(), QStringLiteral("B"));
    }

    void pausedCopiesAreConsumedForGood()
    {
        InputTestRig rig;
        const int before = int(rig.history().size());
        rig.monitor.startMonitoring(fastPoll);
        rig.store.setPaused(true);
        rig.pasteboard.setText(QStringLiteral("copied while paused"));
        QVERIFY(waitForCheck(rig));
        rig.store.setPaused(false);
        // Several polls after resuming still find nothing new.
        QTest::qWait(150);
        QCOMPARE(rig.history().size(), before);

        rig.pasteboard.setText(QStringLiteral("copied after resuming"));
        QTRY_COMPARE(rig.history().size(), before + 1);
        QCOMPARE(rig.history().first().textContent(), QStringLiteral("copied after resuming"));
    }

    void contentsPresentAtStartAreNotRecorded()
    {
        InputTestRig rig;
        const int before = int(rig.history().size());
        rig.pasteboard.setText(QStringLiteral("there before monitoring"));
        rig.monitor.startMonitoring(fastPoll);
        QTest::qWait(150);
        QCOMPARE(rig.history().size(), before);

        // Stopped: changes are neither looked at nor consumed.
        rig.monitor.stopMonitoring();
        QVERIFY(!rig.monitor.isMonitoring());
        const qint64 seen = rig.monitor.lastChangeCount();
        rig.pasteboard.setText(QStringLiteral("copied while stopped"));
        QTest::qWait(150);
        QCOMPARE(rig.monitor.lastChangeCount(), seen);
        QCOMPARE(rig.history().size(), before);

        // Restarting takes the current contents as seen.
        rig.monitor.startMonitoring(fastPoll);
        QTest::qWait(150);
        QCOMPARE(rig.history().size(), before);

        rig.pasteboard.setText(QStringLiteral("new copy"));
        QTRY_COMPARE(rig.history().size(), before + 1);
    }

    void changeNotificationChecksAtOnce()
    {
        InputTestRig rig;
        const int before = int(rig.history().size());
        rig.monitor.startMonitoring(idlePoll);
        rig.pasteboard.setText(QStringLiteral("announced"));
        // Queued, not checked inside the notification.
        QCOMPARE(rig.history().size(), before);
        QTRY_COMPARE(rig.history().size(), before + 1);
    }

    void burstOfNotificationsIsOneCheck()
    {
        InputTestRig rig;
        const int before = int(rig.history().size());
        rig.monitor.startMonitoring(idlePoll);
        rig.pasteboard.setText(QStringLiteral("first"));
        rig.pasteboard.setText(QStringLiteral("second"));
        rig.pasteboard.setText(QStringLiteral("third"));
        QVERIFY(waitForCheck(rig));
        QCOMPARE(rig.history().size(), before + 1);
        QCOMPARE(rig.history().first().textContent(), QStringLiteral("third"));
    }

    void pollCatchesUnannouncedChanges()
    {
        InputTestRig rig;
        const int before = int(rig.history().size());
        rig.monitor.startMonitoring(fastPoll);
        rig.pasteboard.setContents(textContents(QStringLiteral("silent copy")), false);
        QTRY_COMPARE(rig.history().size(), before + 1);
        QCOMPARE(rig.history().first().textContent(), QStringLiteral("silent copy"));
    }

    void unchangedCountReadsNoContents()
    {
        InputTestRig rig;
        rig.pasteboard.setText(QStringLiteral("old"));
        rig.monitor.startMonitoring(fastPoll);
        QTest::qWait(120);
        QCOMPARE(rig.pasteboard.contentReads(), 0);
    }

    void acknowledgedWritesAreNotRecorded()
    {
        InputTestRig rig;
        const int before = int(rig.history().size());
        rig.monitor.startMonitoring(fastPoll);

        ClipItem clip = rig.fixture.textClip(QStringLiteral("written back"));
        rig.paste.copyToPasteboard(clip);
        rig.paste.copyPlainText(QStringLiteral("plain write"));
        QTest::qWait(150);
        QCOMPARE(rig.history().size(), before);
        QCOMPARE(rig.pasteboard.contents().string, std::optional<QString>(QStringLiteral("plain write")));

        // A write of our own that is not acknowledged is recorded like any other copy.
        rig.pasteboard.clearContents();
        rig.pasteboard.setString(QStringLiteral("unacknowledged"));
        QTRY_COMPARE(rig.history().size(), before + 1);
    }
};

QTEST_GUILESS_MAIN(TestClipboardMonitor)
#include "tst_clipboardmonitor.moc"
