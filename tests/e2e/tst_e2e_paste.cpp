// SPDX-License-Identifier: MIT
// Clips go back into the window the user works in: pasted on request, by the direct-paste hotkeys,
// and by typed snippet shortcuts.
#include "AppWorld.h"

#include <QTest>
#include <QThread>

using namespace Vexilo;
using namespace Vexilo::Test;

class TestPasteEndToEnd : public QObject
{
    Q_OBJECT

private:
    AppWorld m_world;

    QString add(const QString &text) { return m_world.vexilo({QStringLiteral("add"), text}).out.trimmed(); }

    bool targetShows(const QString &text, int timeoutMs = 10000)
    {
        return QTest::qWaitFor([&] { return m_world.targetText() == text; }, timeoutMs);
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_world.startApplication()); }
    void cleanupTestCase() { QVERIFY(m_world.quitApplication()); }

    void init() { QVERIFY(m_world.startTarget()); }
    void cleanup() { m_world.stopTarget(); }

    void pasteIntoTheWindowInFront()
    {
        const QString id = add(QStringLiteral("pasted by request"));
        QVERIFY(!id.isEmpty());
        const AppWorld::Result result = m_world.vexilo({QStringLiteral("paste"), id});
        QCOMPARE(result.exitCode, 0);
        QVERIFY2(targetShows(QStringLiteral("pasted by request")),
                 qPrintable(m_world.targetText() + QStringLiteral(" / ") + m_world.applicationOutput()));
    }

    void directPasteHotkeys()
    {
        add(QStringLiteral("third newest"));
        add(QStringLiteral("second newest"));
        add(QStringLiteral("newest"));
        m_world.session().run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("ctrl+alt+2")});
        QVERIFY2(targetShows(QStringLiteral("second newest")), qPrintable(m_world.targetText()));
        m_world.session().run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("ctrl+alt+1")});
        QVERIFY2(targetShows(QStringLiteral("second newestnewest")), qPrintable(m_world.targetText()));

        // The same slots from the command line, for a desktop's own key bindings.
        QCOMPARE(m_world.vexilo({QStringLiteral("paste-slot"), QStringLiteral("3")}).exitCode, 0);
        QVERIFY2(targetShows(QStringLiteral("second newestnewestthird newest")), qPrintable(m_world.targetText()));
        const AppWorld::Result outOfRange = m_world.vexilo({QStringLiteral("paste-slot"), QStringLiteral("10")});
        QCOMPARE(outOfRange.exitCode, 1);
        QVERIFY(outOfRange.err.contains(QStringLiteral("1 to 9")));
    }

    void snippetShortcutExpands()
    {
        // Typed for real, key by key, so the key monitor sees it like a user's typing.
        m_world.session().run(
            QStringLiteral("xdotool"),
            {QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("40"), QStringLiteral("Hi ;reply")});
        const QString expected =
            QStringLiteral("Hi Hi there,\n\nThanks for reaching out! I've received your message and will "
                           "get back to you shortly.\n\nBest regards,\n[Your Name]");
        QVERIFY2(targetShows(expected), qPrintable(m_world.targetText()));
        // The paste's Ctrl is let go a moment after the text appears; a key typed before that would
        // be Ctrl+key.
        QThread::msleep(100);
        // A shortcut typed with a different case is left alone.
        m_world.session().run(
            QStringLiteral("xdotool"),
            {QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("40"), QStringLiteral(" ;Reply")});
        QVERIFY2(targetShows(expected + QStringLiteral(" ;Reply")), qPrintable(m_world.targetText()));
    }
};

QTEST_GUILESS_MAIN(TestPasteEndToEnd)
#include "tst_e2e_paste.moc"
