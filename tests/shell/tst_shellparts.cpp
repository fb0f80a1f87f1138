// SPDX-License-Identifier: MIT
#include "AppVersion.h"
#include "FakeLoginItem.h"
#include "FakeWorkspace.h"
#include "LaunchAtLoginManager.h"
#include "SourceAppIcon.h"

#include <QTest>

using namespace Vexilo;
using namespace Qt::StringLiterals;

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
        // A whole decimal number with an optional sign and nothing around it; anything else is 0.
        QTest::newRow("plus sign") << "+7" << qint64(7);
        QTest::newRow("minus sign") << "-3" << qint64(-3);
        QTest::newRow("leading zeros") << "007" << qint64(7);
        QTest::newRow("largest") << "9223372036854775807" << std::numeric_limits<qint64>::max();
        QTest::newRow("beyond 64 bits") << "99999999999999999999" << qint64(0);
        QTest::newRow("trailing letter") << "12a" << qint64(0);
        QTest::newRow("blank around") << " 12" << qint64(0);
        QTest::newRow("sign only") << "+" << qint64(0);
        QTest::newRow("empty") << "" << qint64(0);
    }

    void buildNumbersAreReadStrictly()
    {
        QFETCH(QString, text);
        QTEST(AppVersion::parseBuild(text), "build");
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

        // A failure is logged; the state still differs, so the next request tries again.
        item.setFailure(u"read-only folder"_s);
        manager.setEnabled(true);
        QCOMPARE(log, QStringList{u"Vexilo: Could not update Launch at Login: read-only folder"_s});
        QVERIFY(!item.isEnabled());
        manager.setEnabled(true);
        QCOMPARE(item.enableCalls(), 3);

        // An enabled item that starts another copy of the program is written again; a disabled one is
        // left alone.
        item.setFailure({});
        manager.setEnabled(true);
        QCOMPARE(item.enableCalls(), 4);
        item.setOutOfDate();
        manager.setEnabled(true);
        QCOMPARE(item.enableCalls(), 5);
        QVERIFY(item.isUpToDate());
        manager.setEnabled(true);
        QCOMPARE(item.enableCalls(), 5);
        manager.setEnabled(false);
        item.setOutOfDate();
        manager.setEnabled(false);
        QCOMPARE(item.disableCalls(), 2);
    }

    void sourceIconsAreLookedUpOncePerKnownApplication()
    {
        CountingWorkspace workspace;
        workspace.addInstalledApplication(u"org.kde.kate"_s, u"/usr/share/applications/org.kde.kate.desktop"_s);
        SourceAppIcon icons(workspace);

        QVERIFY(!icons.image(std::nullopt));
        QVERIFY(!icons.image(QString()));
        QCOMPARE(workspace.lookups, 0);

        QVERIFY(icons.image(u"org.kde.kate"_s));
        QVERIFY(icons.image(u"org.kde.kate"_s));
        QCOMPARE(workspace.lookups, 1);

        // Unknown applications may be installed later: asked every time.
        QVERIFY(!icons.image(u"com.example.missing"_s));
        QVERIFY(!icons.image(u"com.example.missing"_s));
        QCOMPARE(workspace.lookups, 3);
    }
};

QTEST_MAIN(TestShellParts)
#include "tst_shellparts.moc"
