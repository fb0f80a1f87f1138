// SPDX-License-Identifier: MIT
#include "InputTestRig.h"

#include <QTest>

using namespace Vexilo;
using namespace Vexilo::Test;
using namespace Qt::StringLiterals;

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
    contents.types = QStringList{u"text/plain"_s} + extraTypes;
    contents.string = text;
    return contents;
}

// "none", or the kind of the newest clip and what it holds.
QString describeNewest(const InputTestRig &rig, int countBefore)
{
    const QList<ClipItem> history = rig.history();
    if (history.size() == countBefore)
        return u"none"_s;
    const ClipItem &clip = history.first();
    switch (clip.type()) {
    case ClipType::File:
        return u"file:"_s + clip.filePaths().join(u'|');
    case ClipType::Image:
        return u"image:%1x%2"_s.arg(clip.imageWidth().value_or(-1)).arg(clip.imageHeight().value_or(-1));
    case ClipType::Url:
        return u"url:"_s + clip.textContent();
    default:
        return u"text:"_s + clip.textContent();
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

        const QString a = u"/home/ana/a.txt"_s;
        const QString b = u"/home/ana/b.pdf"_s;
        const QString c = u"/home/ana/c d.png"_s;

        // Text is recorded exactly as copied, unless it is blank.
        QTest::newRow("surrounding whitespace kept") << textContents(u"  hi there \n"_s) << u"text:  hi there \n"_s;
        QTest::newRow("spaces tabs and newlines only") << textContents(u" \t\n \r\n"_s) << u"none"_s;
        QTest::newRow("nothing readable") << Contents{{u"application/x-custom"_s}, {}, {}, {}, {}} << u"none"_s;

        // A file list wins over everything; its order is kept. Fields: types, file URLs, legacy
        // file list, images, text.
        const QImage icon = solidImage(16, 16, Qt::red);
        const QString uriList = u"text/uri-list"_s;
        const QString legacy = u"x-special/gnome-copied-files"_s;
        QTest::newRow("file url beats icon and name")
            << Contents{{uriList, u"image/png"_s, u"text/plain"_s}, {a}, {}, {icon}, u"a.txt"_s} << u"file:"_s + a;
        QTest::newRow("several files in order, urls beat legacy list")
            << Contents{{uriList}, {c, a, b}, QStringList{b}, {}, {}} << u"file:"_s + QStringList{c, a, b}.join(u'|');
        QTest::newRow("legacy list when there are no urls")
            << Contents{{legacy, u"text/plain"_s}, {}, QStringList{b, a}, {}, b} << u"file:"_s + b + u'|' + a;
        QTest::newRow("empty legacy list falls through")
            << Contents{{legacy, u"text/plain"_s}, {}, QStringList{}, {}, u"fallback"_s} << u"text:fallback"_s;
        // A web link is no file: it is recorded through its text.
        QTest::newRow("web link recorded as text")
            << Contents{{uriList, u"text/plain"_s}, {}, {}, {}, u"https://example.com/page"_s}
            << u"url:https://example.com/page"_s;
        // An image beats text, and only the first image counts.
        const QStringList browserTypes{u"image/png"_s, u"text/html"_s, u"text/plain"_s};
        QTest::newRow("image beats text")
            << Contents{browserTypes, {}, {}, {solidImage(30, 20, Qt::blue)}, u"alt text"_s} << u"image:30x20"_s;
        QTest::newRow("only the first image")
            << Contents{{u"image/png"_s}, {}, {}, {solidImage(7, 3, Qt::green), solidImage(50, 50, Qt::yellow)}, {}}
            << u"image:7x3"_s;

        // Any concealed or transient marker blocks the copy, whatever else it carries.
        for (const QString &type : ClipboardMonitor::concealedTypes()) {
            Contents secret = textContents(u"hunter2"_s, {type});
            secret.images = {solidImage(4, 4, Qt::black)};
            QTest::addRow("concealed %s", qPrintable(type)) << secret << u"none"_s;
        }
        QTest::newRow("older transient marker")
            << textContents(u"x"_s, {u"de.petermaurer.TransientPasteboardType"_s}) << u"none"_s;
        QTest::newRow("marker names compare exactly")
            << textContents(u"kept"_s, {u"org.nspasteboard.concealedtype"_s}) << u"text:kept"_s;
    }

    void recordsOneKindPerCopy()
    {
        QFETCH(Contents, contents);

        InputTestRig rig;
        const int before = int(rig.history().size());
        rig.monitor.startMonitoring(idlePoll);
        rig.pasteboard.setContents(contents);
        QVERIFY(waitForCheck(rig));
        QTEST(describeNewest(rig, before), "expected");
        QVERIFY(rig.history().size() <= before + 1);
    }

    void frontmostApplication_data()
    {
        QTest::addColumn<bool>("inFront");
        QTest::addColumn<std::optional<QString>>("bundleId");
        QTest::addColumn<bool>("recorded");

        // Only an application with an identifier on the ignore list blocks a copy; whatever is in
        // front at the check is the source.
        QTest::newRow("ignored application") << true << std::optional<QString>(u"org.example.vault"_s) << false;
        QTest::newRow("other application") << true << std::optional<QString>(u"org.example.editor"_s) << true;
        QTest::newRow("application without identifier") << true << std::optional<QString>() << true;
        QTest::newRow("nothing in front") << false << std::optional<QString>() << true;
    }

    void frontmostApplication()
    {
        QFETCH(bool, inFront);
        QFETCH(std::optional<QString>, bundleId);
        QFETCH(bool, recorded);

        InputTestRig rig;
        rig.store.setIgnoredAppBundleIds({u"org.example.vault"_s});
        if (inFront)
            rig.workspace.setFrontmostApplication(FakeWorkspace::makeApplication(bundleId, u"Some App"_s));
        const int before = int(rig.history().size());
        rig.monitor.startMonitoring(idlePoll);
        rig.pasteboard.setText(u"copied"_s);
        QVERIFY(waitForCheck(rig));
        QCOMPARE(rig.history().size(), before + (recorded ? 1 : 0));
        if (!recorded)
            return;
        const ClipItem clip = rig.history().first();
        QCOMPARE(clip.sourceAppName(), inFront ? u"Some App"_s : QString());
        QCOMPARE(clip.hasSourceAppName(), inFront);
        QCOMPARE(clip.sourceAppBundleId(), bundleId.value_or(QString()));
        QCOMPARE(clip.hasSourceAppBundleId(), bundleId.has_value());
    }

    void contentsPresentAtStartAreNotRecorded()
    {
        InputTestRig rig;
        const int before = int(rig.history().size());
        rig.pasteboard.setText(u"there before monitoring"_s);
        rig.monitor.startMonitoring(fastPoll);
        QTest::qWait(150);
        QCOMPARE(rig.history().size(), before);
        // An unchanged count is enough: the contents are not even read.
        QCOMPARE(rig.pasteboard.contentReads(), 0);

        // Stopped: changes are neither looked at nor consumed.
        rig.monitor.stopMonitoring();
        QVERIFY(!rig.monitor.isMonitoring());
        const qint64 seen = rig.monitor.lastChangeCount();
        rig.pasteboard.setText(u"copied while stopped"_s);
        QTest::qWait(150);
        QCOMPARE(rig.monitor.lastChangeCount(), seen);
        QCOMPARE(rig.history().size(), before);

        // Restarting takes the current contents as seen.
        rig.monitor.startMonitoring(fastPoll);
        QTest::qWait(150);
        QCOMPARE(rig.history().size(), before);

        rig.pasteboard.setText(u"new copy"_s);
        QTRY_COMPARE(rig.history().size(), before + 1);
    }

    void burstOfNotificationsIsOneLaterCheck()
    {
        InputTestRig rig;
        const int before = int(rig.history().size());
        rig.monitor.startMonitoring(idlePoll);
        rig.pasteboard.setText(u"first"_s);
        rig.pasteboard.setText(u"second"_s);
        rig.pasteboard.setText(u"third"_s);
        // Queued, not checked inside the notification.
        QCOMPARE(rig.history().size(), before);
        QVERIFY(waitForCheck(rig));
        QCOMPARE(rig.history().size(), before + 1);
        QCOMPARE(rig.history().first().textContent(), u"third"_s);
    }

    void pollCatchesUnannouncedChanges()
    {
        InputTestRig rig;
        const int before = int(rig.history().size());
        rig.monitor.startMonitoring(fastPoll);
        rig.pasteboard.setContents(textContents(u"silent copy"_s), false);
        QTRY_COMPARE(rig.history().size(), before + 1);
        QCOMPARE(rig.history().first().textContent(), u"silent copy"_s);
    }

    void acknowledgedWritesAreNotRecorded()
    {
        InputTestRig rig;
        const int before = int(rig.history().size());
        rig.monitor.startMonitoring(fastPoll);

        ClipItem clip = rig.fixture.textClip(u"written back"_s);
        rig.paste.copyToPasteboard(clip);
        rig.paste.copyPlainText(u"plain write"_s);
        QTest::qWait(150);
        QCOMPARE(rig.history().size(), before);
        QCOMPARE(rig.pasteboard.contents().string, std::optional<QString>(u"plain write"_s));

        // A write of our own that is not acknowledged is recorded like any other copy.
        rig.pasteboard.clearContents();
        rig.pasteboard.setString(u"unacknowledged"_s);
        QTRY_COMPARE(rig.history().size(), before + 1);
    }
};

QTEST_GUILESS_MAIN(TestClipboardMonitor)
#include "tst_clipboardmonitor.moc"
