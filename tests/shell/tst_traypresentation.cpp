// SPDX-License-Identifier: MIT
// Where the tray popover opens, and what the tray icon shows.
#include "MenuBarPopoverController.h"
#include "TrayIcon.h"

#include <QImage>
#include <QTest>

using namespace Vexilo;
using namespace Qt::StringLiterals;

class TestTrayPresentation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void popoverPlacement_data()
    {
        QTest::addColumn<QRect>("anchor");
        QTest::addColumn<QRect>("expected");
        // A 1280×800 screen with a 30-pixel panel at the top; the popover is 300×400.
        QTest::newRow("top panel: below, centred") << QRect(600, 4, 22, 22) << QRect(460, 30, 300, 400);
        QTest::newRow("right corner: kept on screen") << QRect(1250, 4, 22, 22) << QRect(980, 30, 300, 400);
        QTest::newRow("bottom panel: above") << QRect(40, 776, 22, 22) << QRect(0, 372, 300, 400);
        QTest::newRow("pointer at the bottom right") << QRect(1279, 799, 1, 1) << QRect(980, 395, 300, 400);
    }

    void popoverPlacement()
    {
        QFETCH(QRect, anchor);
        QFETCH(QRect, expected);
        const QRect available(0, 30, 1280, 770);
        QCOMPARE(MenuBarPopoverController::placement(anchor, QSize(300, 400), available), expected);
    }

    void iconShowsPauseAndPinnedCount()
    {
        const QImage plain = TrayIcon::iconImage(22, false, 0);
        const QImage paused = TrayIcon::iconImage(22, true, 0);
        const QImage badged = TrayIcon::iconImage(22, false, 3);
        QCOMPARE(plain.height(), 22);
        QVERIFY(plain != paused);
        // The badge sits in the lower right corner and leaves the upper left alone.
        QVERIFY(plain.pixelColor(20, 20) != badged.pixelColor(20, 20));
        QCOMPARE(plain.pixelColor(3, 3), badged.pixelColor(3, 3));

        QCOMPARE(TrayIcon::toolTip(false, 0), u"Vexilo\nRecording"_s);
        QCOMPARE(TrayIcon::toolTip(true, 1), u"Vexilo\nPaused \u00b7 1 pinned clip"_s);
        QCOMPARE(TrayIcon::toolTip(false, 12), u"Vexilo\nRecording \u00b7 12 pinned clips"_s);
    }
};

QTEST_MAIN(TestTrayPresentation)
#include "tst_traypresentation.moc"
