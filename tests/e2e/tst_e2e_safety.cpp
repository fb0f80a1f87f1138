// SPDX-License-Identifier: MIT
// What a user copied and deleted is gone from the running application, not only from the file.
#include "AppWorld.h"
#include "ProcessMemory.h"

#include <QFileInfo>
#include <QTest>
#include <QThread>
#include <QUuid>

using namespace Vexilo;
using namespace Vexilo::Test;

class TestSafetyEndToEnd : public QObject
{
    Q_OBJECT

private:
    AppWorld m_world;

    QString asanLog() const { return m_world.rootPath() + QStringLiteral("/asan"); }

    // The copies of the text still in the application, in UTF-8 or UTF-16, that Vexilo's own code
    // left: a copy in a block that Qt's X11 clipboard transfer allocated or freed (the X server's
    // reply read by libxcb, and the bytes Qt's xcb plugin made of it) is Qt's and only counted.
    QStringList copiesLeftByVexilo(const QString &text, int &copiesLeftByQt) const
    {
        QStringList places;
        const QByteArray utf16(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
        for (const QByteArray &form : {text.toUtf8(), utf16}) {
            for (const ProcessMemory::Hit &hit : ProcessMemory::find(m_world.applicationPid(), form)) {
                const QString account =
                    ProcessMemory::describeHeapBlock(m_world.applicationPid(), hit.address, asanLog());
                const QString freedBy = account.section(QStringLiteral("freed by thread"), 1).section(u'\n', 2, 2);
                const QString allocatedBy =
                    account.section(QStringLiteral("allocated by thread"), 1).section(u'\n', 2, 2);
                if (freedBy.contains(QStringLiteral("libQt6XcbQpa.so")) ||
                    allocatedBy.contains(QStringLiteral("libxcb.so"))) {
                    ++copiesLeftByQt;
                    continue;
                }
                places.append(QStringLiteral("0x%1 in %2\n%3").arg(hit.address, 0, 16).arg(hit.region, account));
            }
        }
        return places;
    }

private Q_SLOTS:
    void deletedTextLeavesTheProcess()
    {
#if !defined(__SANITIZE_ADDRESS__)
        QSKIP("Telling Vexilo's copies from Qt's needs AddressSanitizer's account of the heap (make test).");
#endif
        m_world.setEnvironmentVariable(QStringLiteral("ASAN_OPTIONS"),
                                       qEnvironmentVariable("ASAN_OPTIONS") + QStringLiteral(":log_path=") + asanLog());
        QVERIFY(m_world.startApplication());
        const QString marker = QStringLiteral("vexilo-secret-") + QUuid::createUuid().toString(QUuid::Id128);
        m_world.copy(marker.toUtf8());
        QVERIFY(m_world.waitForSavedClip(AppWorld::textIs(marker)));
        // The clipboard moves on, as it does once the user copies something else.
        m_world.copy("something else");
        QVERIFY(m_world.waitForSavedClip(AppWorld::textIs(QStringLiteral("something else"))));
        QString id;
        for (const ClipItem &item : m_world.historyFile()) {
            if (item.textContent() == marker)
                id = item.idString();
        }
        QCOMPARE(m_world.vexilo({QStringLiteral("delete"), id}).exitCode, 0);
        QVERIFY(m_world.waitForSavedClip([&](const ClipItem &) {
            const QList<ClipItem> saved = m_world.historyFile();
            return std::none_of(saved.cbegin(), saved.cend(), AppWorld::textIs(marker));
        }));
        QThread::msleep(300);
        int copiesLeftByQt = 0;
        const QStringList places = copiesLeftByVexilo(marker, copiesLeftByQt);
        QVERIFY2(places.isEmpty(), qPrintable(places.join(u'\n')));
        qInfo("Copies of the deleted text left by Qt's X11 clipboard transfer: %d", copiesLeftByQt);
        QVERIFY(m_world.quitApplication());
    }

    // An existing history the application cannot read is left as it is: the application runs without
    // recording, and says why.
    void anUnreadableHistoryIsRefused()
    {
        const QString history = m_world.storageDirectory() + QStringLiteral("/history.json");
        QDir(m_world.storageDirectory()).removeRecursively();
        QVERIFY(QDir().mkpath(history));
        QVERIFY(m_world.startApplication());
        const AppWorld::Result status = m_world.vexilo({QStringLiteral("status")});
        QCOMPARE(status.exitCode, 2);
        QVERIFY2(status.out.startsWith(
                     QStringLiteral("Not recording: cannot read the history file %1: Is a directory").arg(history)),
                 qPrintable(status.out));
        const AppWorld::Result list = m_world.vexilo({QStringLiteral("list")});
        QCOMPARE(list.exitCode, 2);
        QCOMPARE(list.err.count(u'\n'), 1);
        m_world.copy("not recorded");
        QThread::msleep(800);
        QCOMPARE(QDir(m_world.storageDirectory()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("history.json")});
        QVERIFY(m_world.quitApplication());
        QVERIFY(QFileInfo(history).isDir());
        QDir(history).removeRecursively();
    }

    // Memory goes back to the system after a large clear, not only to the allocator.
    void aLargeClearGivesMemoryBack()
    {
        // Freed blocks go straight back under the sanitizer too, instead of waiting in its quarantine.
        m_world.setEnvironmentVariable(QStringLiteral("ASAN_OPTIONS"),
                                       qEnvironmentVariable("ASAN_OPTIONS") + QStringLiteral(":quarantine_size_mb=0"));
        QVERIFY(m_world.startApplication());
        QThread::msleep(1000);
        const qint64 baseline = ProcessMemory::residentBytes(m_world.applicationPid());
        for (int i = 0; i < 8; ++i) {
            const QString text = QStringLiteral("%1 ").arg(i).repeated(2 << 20);
            m_world.copy(text.toUtf8());
            QVERIFY(m_world.waitForSavedClip(AppWorld::textIs(text), 20000));
        }
        m_world.copy("small");
        QVERIFY(m_world.waitForSavedClip(AppWorld::textIs(QStringLiteral("small"))));
        const qint64 full = ProcessMemory::residentBytes(m_world.applicationPid());
        QVERIFY2(full > baseline + 25'000'000, qPrintable(QStringLiteral("%1 -> %2").arg(baseline).arg(full)));

        QCOMPARE(m_world.vexilo({QStringLiteral("clear"), QStringLiteral("--all")}).exitCode, 0);
        QTRY_VERIFY_WITH_TIMEOUT(
            QFileInfo(m_world.storageDirectory() + QStringLiteral("/history.json")).size() < 10'000, 10000);
        QThread::msleep(1000);
        const qint64 after = ProcessMemory::residentBytes(m_world.applicationPid());
        QVERIFY2(after <= baseline * 12 / 10,
                 qPrintable(QStringLiteral("baseline %1, full %2, after clear %3").arg(baseline).arg(full).arg(after)));
        QVERIFY(m_world.quitApplication());
    }
};

QTEST_GUILESS_MAIN(TestSafetyEndToEnd)
#include "tst_e2e_safety.moc"
