// SPDX-License-Identifier: MIT
// How the desktop's settings portal values turn into light or dark, contrast and motion.
#include "DesktopAppearance.h"

#include <QGuiApplication>
#include <QPalette>
#include <QSignalSpy>
#include <QTest>

using namespace Vexilo;

class TestDesktopAppearance : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void portalSettings()
    {
        const QString appearance = QStringLiteral("org.freedesktop.appearance");
        DesktopAppearance desktop;
        const bool paletteDark = QGuiApplication::palette().color(QPalette::Window).lightness() < 128;
        QCOMPARE(desktop.dark(), paletteDark);

        QSignalSpy changed(&desktop, &DesktopAppearance::changed);
        desktop.applySetting(appearance, QStringLiteral("color-scheme"), 1u);
        QVERIFY(desktop.dark());
        desktop.applySetting(appearance, QStringLiteral("color-scheme"), 2u);
        QVERIFY(!desktop.dark());
        // "No preference" hands the choice back to the palette.
        desktop.applySetting(appearance, QStringLiteral("color-scheme"), 0u);
        QCOMPARE(desktop.dark(), paletteDark);

        desktop.applySetting(appearance, QStringLiteral("contrast"), 1u);
        QVERIFY(desktop.increasedContrast());
        desktop.applySetting(QStringLiteral("org.gnome.desktop.interface"), QStringLiteral("enable-animations"), false);
        QVERIFY(desktop.reduceMotion());
        desktop.applySetting(QStringLiteral("org.kde.kdeglobals.KDE"), QStringLiteral("AnimationDurationFactor"), 1.0);
        QVERIFY(!desktop.reduceMotion());
        desktop.applySetting(QStringLiteral("org.kde.kdeglobals.KDE"), QStringLiteral("AnimationDurationFactor"), 0.0);
        QVERIFY(desktop.reduceMotion());
        QCOMPARE(changed.size(), 7);

        // Settings of other groups change nothing and say nothing.
        desktop.applySetting(QStringLiteral("org.example"), QStringLiteral("color-scheme"), 1u);
        QCOMPARE(changed.size(), 7);
    }

    void fixedSchemeWinsOverThePortal()
    {
        DesktopAppearance desktop;
        desktop.setColorScheme(false);
        desktop.applySetting(QStringLiteral("org.freedesktop.appearance"), QStringLiteral("color-scheme"), 1u);
        QVERIFY(!desktop.dark());
    }
};

QTEST_MAIN(TestDesktopAppearance)
#include "tst_desktopappearance.moc"
