// SPDX-License-Identifier: MIT
#include "InputTestRig.h"

#include <QSignalSpy>
#include <QTest>

using namespace Vexilo;
using namespace Vexilo::Test;
using namespace Qt::StringLiterals;

namespace {
const std::optional<QString> noId;
std::optional<QString> id(const char16_t *text)
{
    return QString::fromUtf16(text);
}
} // namespace

class TestFocusRestoration : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void ownApplicationTest_data()
    {
        QTest::addColumn<QString>("own");
        QTest::addColumn<std::optional<QString>>("application");
        QTest::addColumn<bool>("isOwn");

        // Identifiers compare exactly; two absent ones are equal. (Captures cover the plain cases.)
        QTest::newRow("identifiers differ in case") << u"vexilo"_s << id(u"Vexilo") << false;
        QTest::newRow("both without identifier") << QString() << noId << true;
    }

    void ownApplicationTest()
    {
        QFETCH(QString, own);
        QFETCH(std::optional<QString>, application);

        InputTestRig rig;
        rig.workspace.setOwnBundleIdentifier(own);
        QTEST(rig.focus.isOwnApplication(FakeWorkspace::makeApplication(application)), "isOwn");
    }

    void activationsSetTheTarget()
    {
        InputTestRig rig;
        const RunningApplication a = FakeWorkspace::makeApplication(u"org.example.a"_s);
        const RunningApplication b = FakeWorkspace::makeApplication(u"org.example.b"_s);
        const RunningApplication self = FakeWorkspace::makeApplication(u"vexilo"_s);

        // Not watching yet.
        rig.workspace.switchTo(a);
        QCOMPARE(rig.focus.targetApplication(), std::nullopt);

        rig.focus.start();
        QSignalSpy changed(&rig.focus, &FocusRestoration::targetApplicationChanged);
        rig.workspace.switchTo(a);
        rig.workspace.switchTo(b);
        QCOMPARE(rig.focus.targetApplication(), std::optional<RunningApplication>(b));
        // Clicking this application's tray icon does not change it.
        rig.workspace.switchTo(self);
        QCOMPARE(rig.focus.targetApplication(), std::optional<RunningApplication>(b));
        QCOMPARE(changed.size(), 2);

        // Starting twice watches once; one stop ends the watch and keeps the target.
        rig.focus.start();
        rig.workspace.switchTo(a);
        QCOMPARE(changed.size(), 3);
        rig.focus.stop();
        QVERIFY(!rig.focus.isObserving());
        rig.workspace.switchTo(b);
        QCOMPARE(rig.focus.targetApplication(), std::optional<RunningApplication>(a));
        QCOMPARE(changed.size(), 3);
    }

    void captureBeforePresenting_data()
    {
        QTest::addColumn<std::optional<QString>>("frontmost"); // absent: nothing in front
        QTest::addColumn<bool>("nothingInFront");
        QTest::addColumn<bool>("captured");

        // The frontmost application is remembered, unless it is this one or there is none.
        QTest::newRow("another application") << id(u"org.example.b") << false << true;
        QTest::newRow("application without identifier") << noId << false << true;
        QTest::newRow("this application") << id(u"vexilo") << false << false;
        QTest::newRow("nothing in front") << noId << true << false;
    }

    void captureBeforePresenting()
    {
        QFETCH(std::optional<QString>, frontmost);
        QFETCH(bool, nothingInFront);
        QFETCH(bool, captured);

        InputTestRig rig;
        const RunningApplication earlier = FakeWorkspace::makeApplication(u"org.example.a"_s);
        rig.workspace.setFrontmostApplication(earlier);
        rig.focus.captureTargetBeforePresenting();

        const RunningApplication now = FakeWorkspace::makeApplication(frontmost);
        rig.workspace.setFrontmostApplication(nothingInFront ? std::nullopt : std::optional<RunningApplication>(now));
        rig.focus.captureTargetBeforePresenting();
        QCOMPARE(rig.focus.targetApplication(), std::optional<RunningApplication>(captured ? now : earlier));
    }

    void trust_data()
    {
        QTest::addColumn<bool>("synthesizer");
        QTest::addColumn<bool>("keySource");
        QTest::addColumn<bool>("canPaste");
        QTest::addColumn<bool>("canExpand");
        QTest::addColumn<QString>("missing");

        // Pasting needs synthetic keys; expansion needs watching keys and sending backspaces.
        QTest::newRow("both") << true << true << true << true << QString();
        QTest::newRow("no synthetic keys")
            << false << true << false << false
            << u"pasting (keys cannot be sent), snippet expansion (keys cannot be sent)"_s;
        QTest::newRow("no key watching") << true << false << true << false
                                         << u"snippet expansion (keys cannot be watched)"_s;
        QTest::newRow("neither") << false << false << false << false
                                 << u"pasting (keys cannot be sent), snippet expansion (keys cannot be watched)"_s;
    }

    void trust()
    {
        QFETCH(bool, synthesizer);
        QFETCH(bool, keySource);
        QFETCH(bool, canPaste);
        QFETCH(bool, canExpand);
        QFETCH(QString, missing);

        InputTestRig rig;
        rig.keys.setAvailable(synthesizer);
        rig.keyEvents.setAvailable(keySource);
        QCOMPARE(rig.permission.canPaste(), canPaste);
        QCOMPARE(rig.permission.canExpandSnippets(), canExpand);
        const bool trusted = canPaste && canExpand;
        QCOMPARE(rig.permission.isTrusted(), trusted);

        rig.permission.requestAccess();
        if (trusted) {
            QVERIFY(rig.log.isEmpty());
            QVERIFY(rig.workspace.openedUrls().isEmpty());
            QVERIFY(!rig.fixture.settings().boolValue(AppStorageKeys::hasShownAccessibilityPrompt, false));
            return;
        }
        QCOMPARE(rig.log.size(), 1);
        QVERIFY(rig.log.first().startsWith(u"Vexilo: "_s));
        QCOMPARE(rig.log.first(), u"Vexilo: Not available on this desktop: "_s + missing);
        QVERIFY(rig.workspace.openedUrls().isEmpty());
        QVERIFY(rig.fixture.settings().boolValue(AppStorageKeys::hasShownAccessibilityPrompt, false));
    }

    void requestAccessExplainsOnceThenOpensTheDocumentation()
    {
        InputTestRig rig;
        rig.keys.setAvailable(false);
        rig.permission.requestAccess();
        QCOMPARE(rig.log.size(), 1);
        QVERIFY(rig.workspace.openedUrls().isEmpty());
        rig.permission.requestAccess();
        rig.permission.requestAccess();
        QCOMPARE(rig.log.size(), 1);
        QCOMPARE(rig.workspace.openedUrls(),
                 (QList<QUrl>{AccessibilityPermission::settingsUrl(), AccessibilityPermission::settingsUrl()}));

        // The explanation shown in an earlier run counts too.
        InputTestRig later;
        later.fixture.settings().setValue(AppStorageKeys::hasShownAccessibilityPrompt, true);
        later.keyEvents.setAvailable(false);
        later.permission.requestAccess();
        QVERIFY(later.log.isEmpty());
        QCOMPARE(later.workspace.openedUrls().size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestFocusRestoration)
#include "tst_focusrestoration.moc"
