// SPDX-License-Identifier: MIT
// The history window with a real X server, window manager, hotkeys and keystrokes: it takes the
// keyboard when summoned, filters as the user types, and pastes what the user picks into the window
// the user came from.
#include "AppWorld.h"

#include <QTest>

using namespace Vexilo;
using namespace Vexilo::Test;

class TestHudEndToEnd : public QObject
{
    Q_OBJECT

private:
    AppWorld m_world;

    QString add(const QString &text) { return m_world.vexilo({QStringLiteral("add"), text}).out.trimmed(); }
    bool key(const QString &keys) { return m_world.session().xdotool({QStringLiteral("key"), keys}); }
    bool type(const QString &text)
    {
        return m_world.session().xdotool(
            {QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("30"), text});
    }

    [[nodiscard]] QString activeWindowName()
    {
        return QString::fromUtf8(
                   m_world.session().run(QStringLiteral("xdotool"),
                                         {QStringLiteral("getactivewindow"), QStringLiteral("getwindowname")}))
            .trimmed();
    }
    [[nodiscard]] bool hudVisible()
    {
        int code = -1;
        m_world.session().run(QStringLiteral("xdotool"),
                              {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                               QStringLiteral("^Vexilo$")},
                              {}, 5000, &code);
        return code == 0;
    }
    bool waitForHud(bool visible)
    {
        return QTest::qWaitFor([&] { return hudVisible() == visible; }, 10000);
    }
    bool waitForFocusedHud()
    {
        return QTest::qWaitFor([&] { return activeWindowName() == QStringLiteral("Vexilo"); }, 10000);
    }
    bool targetShows(const QString &text)
    {
        return QTest::qWaitFor([&] { return m_world.targetText() == text; }, 10000);
    }
    [[nodiscard]] QStringList listedTexts() const
    {
        return m_world.vexilo({QStringLiteral("list")}).out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    bool summon() { return key(QStringLiteral("alt+space")) && waitForFocusedHud(); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_world.startApplication());
        add(QStringLiteral("alpha first"));
        add(QStringLiteral("beta second"));
        add(QStringLiteral("gamma third"));
        add(QStringLiteral("delta fourth"));
    }
    void cleanupTestCase() { QVERIFY(m_world.quitApplication()); }

    void init() { QVERIFY(m_world.startTarget()); }
    void cleanup()
    {
        if (hudVisible())
            m_world.vexilo({QStringLiteral("toggle")});
        QVERIFY(waitForHud(false));
        m_world.stopTarget();
    }

    void typeToFilterThenPickWithArrowsAndReturn()
    {
        QVERIFY2(summon(), qPrintable(activeWindowName() + QStringLiteral(" / ") + m_world.applicationOutput()));
        // Right after the hotkey: the keys must reach the window, not the one behind it.
        QVERIFY(type(QStringLiteral("beta")));
        QVERIFY(key(QStringLiteral("Down")));
        QVERIFY(key(QStringLiteral("Return")));
        QVERIFY2(targetShows(QStringLiteral("beta second")),
                 qPrintable(m_world.targetText() + QStringLiteral(" / ") + m_world.applicationOutput()));
        QVERIFY(waitForHud(false));
    }

    void escapeBacksOutStepByStep()
    {
        QVERIFY(summon());
        QVERIFY(type(QStringLiteral("zzz")));
        QVERIFY(key(QStringLiteral("Escape"))); // the search field lets go of the keyboard
        QTest::qWait(300);
        QVERIFY(hudVisible());
        QVERIFY(key(QStringLiteral("Escape"))); // the query is cleared
        QTest::qWait(300);
        QVERIFY(hudVisible());
        QVERIFY(key(QStringLiteral("Escape"))); // and the window closes
        QVERIFY(waitForHud(false));
    }

    void deleteWithUndo()
    {
        QVERIFY(summon());
        QVERIFY(type(QStringLiteral("gamma")));
        QVERIFY(key(QStringLiteral("Down")));
        QVERIFY(key(QStringLiteral("ctrl+Delete")));
        QVERIFY(QTest::qWaitFor(
            [&] { return !listedTexts().join(QLatin1Char('\n')).contains(QStringLiteral("gamma third")); }, 10000));
        // The toast's Undo, from the keyboard, once the search field has let go of it.
        QVERIFY(key(QStringLiteral("Escape")));
        QVERIFY(key(QStringLiteral("ctrl+z")));
        QVERIFY(QTest::qWaitFor(
            [&] { return listedTexts().join(QLatin1Char('\n')).contains(QStringLiteral("gamma third")); }, 10000));
    }

    void altDigitPastesThatSlot()
    {
        QVERIFY(summon());
        QVERIFY(type(QStringLiteral("a"))); // a new search that every clip matches
        QVERIFY(key(QStringLiteral("alt+3")));
        QVERIFY2(targetShows(QStringLiteral("beta second")), qPrintable(m_world.targetText()));
    }

    void toggleCommandShowsAndHides()
    {
        QCOMPARE(m_world.vexilo({QStringLiteral("toggle")}).exitCode, 0);
        QVERIFY(waitForHud(true));
        QVERIFY(waitForFocusedHud());
        QCOMPARE(m_world.vexilo({QStringLiteral("toggle")}).exitCode, 0);
        QVERIFY(waitForHud(false));
    }
};

QTEST_GUILESS_MAIN(TestHudEndToEnd)
#include "tst_e2e_hud.moc"
