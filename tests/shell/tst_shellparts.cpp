// SPDX-License-Identifier: MIT
#include "AppVersion.h"
#include "FakeLoginItem.h"
#include "FakeWorkspace.h"
#include "LaunchAtLoginManager.h"
#include "SourceAppIcon.h"

#include <QTest>

using namespace Vexilo;

namespace {

// Counts how often the icon lookup goes to the desktop.
class CountingWorkspace : public FakeWorkspace
{
public:
    std::optional<QString> applicationPath(const QString &bundleId) const override
    {
        ++lookups;
        return FakeWorkspace::applicationPath(bundleId);
    }
    mutable int lookups = 0;
};

} // namespace

class TestShellParts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void buildNumbersAreReadStrictly_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("build");
        QTest::newRow("digits") << "12" << qint64(12);
        QTest::newRow("plus sign") << "+7" << qint64(7);
        QTest::newRow("minus sign") << "-3" << qint64(-3);
        QTest::newRow("leading zeros") << "007" << qint64(7);
        QTest::newRow("trailing letter") << "12a" << qint64(0);
        QTest::newRow("dotted") << "1.2" << qint64(0);
        QTest::newRow("blank around") << " 12" << qint64(0);
        QTest::newRow("sign only") << "+" << qint64(0);
        QTest::newRow("empty") << "" << qint64(0);
        QTest::newRow("beyond 64 bits") << "99999999999999999999" << qint64(0);
        QTest::newRow("largest") << "9223372036854775807" << std::numeric_limits<qint64>::max();
    }
    void buildNumbersAreReadStrictly()
    {
        QFETCH(QString, text);
        QFETCH(qint64, build);
        QCOMPARE(AppVersion::parseBuild(text), build);
    }

    void theRunningBuildHasAVersion()
    {
        QVERIFY(!AppVersion::shortVersion().isEmpty());
        QVERIFY(AppVersion::build() > 0);
    }

    void launchAtLoginTouchesTheLoginItemOnlyOnChange()
    {
        FakeLoginItem item;
        QStringList log;
        LaunchAtLoginManager manager(item, [&](const QString &line) { log.append(line); });

        manager.setEnabled(false);
        QCOMPARE(item.disableCalls(), 0);
        manager.setEnabled(true);
        manager.setEnabled(true);
        QCOMPARE(item.enableCalls(), 1);
        QVERIFY(item.isEnabled());
        manager.setEnabled(false);
        QCOMPARE(item.disableCalls(), 1);
        QVERIFY(!item.isEnabled());
        QVERIFY(log.isEmpty());
    }

    void aFailedLoginItemChangeIsLogged()
    {
        FakeLoginItem item;
        QStringList log;
        LaunchAtLoginManager manager(item, [&](const QString &line) { log.append(line); });
        item.setFailure(QStringLiteral("read-only folder"));

        manager.setEnabled(true);
        QCOMPARE(log, QStringList{QStringLiteral("Vexilo: Could not update Launch at Login: read-only folder")});
        QVERIFY(!item.isEnabled());
        // Still differs, so the next request tries again.
        manager.setEnabled(true);
        QCOMPARE(item.enableCalls(), 2);
    }

    void sourceIconsAreLookedUpOncePerKnownApplication()
    {
        CountingWorkspace workspace;
        workspace.addInstalledApplication(QStringLiteral("org.kde.kate"),
                                          QStringLiteral("/usr/share/applications/org.kde.kate.desktop"));
        SourceAppIcon icons(workspace);

        QVERIFY(!icons.image(std::nullopt));
        QVERIFY(!icons.image(QString()));
        QCOMPARE(workspace.lookups, 0);

        QVERIFY(icons.image(QStringLiteral("org.kde.kate")));
        QVERIFY(icons.image(QStringLiteral("org.kde.kate")));
        QCOMPARE(workspace.lookups, 1);

        // Unknown applications may be installed later: asked every time.
        QVERIFY(!icons.image(QStringLiteral("com.example.missing")));
        QVERIFY(!icons.image(QStringLiteral("com.example.missing")));
        QCOMPARE(workspace.lookups, 3);
    }
};

QTEST_MAIN(TestShellParts)
#include "tst_shellparts.moc"
