// SPDX-License-Identifier: MIT
// Crashes and full disks lose nothing that was recorded and never corrupt the history file.
#include "AppWorld.h"
#include "ClipJson.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QSettings>
#include <QTest>
#include <QThread>

using namespace Vexilo;
using namespace Vexilo::Test;

class TestCrashEndToEnd : public QObject
{
    Q_OBJECT

private:
    AppWorld m_world;

    static QByteArray readFile(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // The newest clip the running application holds, asked through its socket.
    std::optional<ClipItem> newestClip() const
    {
        const AppWorld::Result listed = m_world.vexilo(
            {QStringLiteral("list"), QStringLiteral("--json"), QStringLiteral("--limit"), QStringLiteral("1")});
        const QList<ClipItem> items = ClipJson::decodeHistory(listed.out.toUtf8()).items;
        return items.isEmpty() ? std::nullopt : std::optional(items.first());
    }

private Q_SLOTS:
    // Killed with SIGKILL at random moments of a stream of captures (small texts, texts of megabytes,
    // images): the history always loads whole, and every clip recorded half a second before the kill
    // is in it.
    void killedAtRandomMoments()
    {
        // A limit keeps the test's history (and its run time) bounded.
        QSettings settings(m_world.settingsFile(), QSettings::IniFormat);
        constexpr int historyLimit = 30;
        settings.setValue(QStringLiteral("maxHistoryLimit"), historyLimit);
        settings.sync();
        QRandomGenerator random(20261206);
        constexpr int rounds = 40;
        int lost = 0;
        int recoveries = 0;
        int recorded = 0;
        int counter = 0;
        for (int round = 0; round < rounds; ++round) {
            QVERIFY(m_world.startApplication());
            QElapsedTimer clock;
            clock.start();
            const qint64 killAt = 300 + random.bounded(1700);
            // What was seen recorded, and when: a text marker, or an image's width.
            QList<std::pair<QString, qint64>> seen;
            auto payload = [&]() -> std::pair<QString, QByteArray> {
                const QString marker = QStringLiteral("clip %1 of round %2").arg(++counter).arg(round);
                const int kind = random.bounded(10);
                if (kind == 0) {
                    QImage image(100 + counter % 900, 40, QImage::Format_RGB32);
                    image.fill(QColor::fromRgb(random.generate()));
                    QByteArray png;
                    QBuffer buffer(&png);
                    buffer.open(QIODevice::WriteOnly);
                    image.save(&buffer, "PNG");
                    return {QStringLiteral("Image (%1 \u00D7 40)").arg(image.width()), png};
                }
                if (kind < 3)
                    return {marker, (marker + u'\n').toUtf8().repeated(int(1 + random.bounded(5)) * (1 << 20) / 24)};
                return {marker, marker.toUtf8()};
            };
            auto copyPayload = [this](const QString &name, const QByteArray &bytes) {
                m_world.copy(bytes, name.startsWith(u"Image") ? QStringLiteral("image/png") : QString());
            };
            auto describe = [](const ClipItem &item) {
                return item.type() == ClipType::Image
                    ? QStringLiteral("Image (%1 \u00D7 40)").arg(item.imageWidth().value_or(0))
                    : item.textContent().section(u'\n', 0, 0);
            };
            while (clock.elapsed() < killAt) {
                const auto [name, bytes] = payload();
                copyPayload(name, bytes);
                while (clock.elapsed() < killAt) {
                    if (const auto newest = newestClip(); newest && describe(*newest) == name) {
                        seen.append({name, clock.elapsed()});
                        break;
                    }
                }
            }
            // One more capture under way, and the kill lands somewhere in it or its save.
            const auto [lastName, lastBytes] = payload();
            copyPayload(lastName, lastBytes);
            QThread::msleep(random.bounded(300));
            const qint64 killedAt = clock.elapsed();
            m_world.killApplication();

            // Loaded as the next start loads it: the file, and the journal of the changes after it.
            const AppWorld::Result listed = m_world.vexilo({QStringLiteral("list")});
            QCOMPARE(listed.exitCode, 0);
            recoveries += listed.err.contains(QStringLiteral("Failed to load")) ||
                !QDir(m_world.storageDirectory()).entryList({QStringLiteral("history.json.corrupt-*")}).isEmpty();
            QStringList saved;
            for (const QString &line : listed.out.split(u'\n', Qt::SkipEmptyParts))
                saved.append(line.section(QStringLiteral("  "), 3).trimmed());
            // A round quick enough to record more clips than the limit keeps only the newest of them,
            // and the capture the kill cut into may be one of those.
            for (qsizetype i = std::max<qsizetype>(0, seen.size() - (historyLimit - 1)); i < seen.size(); ++i) {
                const auto &[name, at] = seen.at(i);
                if (at < killedAt - 500) {
                    ++recorded;
                    if (!saved.contains(name)) {
                        ++lost;
                        qWarning("Lost after the kill in round %d: %s", round, qPrintable(name));
                    }
                }
            }
        }
        qInfo("%d rounds, %d clips recorded half a second before a kill, %d lost, %d recoveries", rounds, recorded,
              lost, recoveries);
        QCOMPARE(lost, 0);
        QCOMPARE(recoveries, 0);
        QVERIFY(recorded > rounds);
    }

    // On a full file system the previous history file stays whole; the failure is said once and
    // shown by `vexilo status`, and each change tries again until there is room.
    void aFullDiskKeepsTheHistory()
    {
        const QString storage = m_world.storageDirectory();
        QDir(storage).removeRecursively();
        QVERIFY(QDir().mkpath(storage));
        // A small file system of its own where the machine allows it, else a limit on file sizes.
        int exitCode = -1;
        m_world.session().run(QStringLiteral("mount"),
                              {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                               QStringLiteral("size=4m"), QStringLiteral("tmpfs"), storage},
                              {}, 10000, &exitCode);
        const bool mounted = exitCode == 0;
        const auto unmount = qScopeGuard([&] {
            if (mounted)
                m_world.session().run(QStringLiteral("umount"), {QStringLiteral("-l"), storage});
        });
        QVERIFY(m_world.startApplication());
        m_world.copy("before the disk filled");
        QVERIFY(m_world.waitForSavedClip(AppWorld::textIs(QStringLiteral("before the disk filled"))));
        const QString filler = storage + QStringLiteral("/filler");
        if (mounted) {
            QFile file(filler);
            QVERIFY(file.open(QIODevice::WriteOnly));
            const QByteArray block(64 * 1024, 'f');
            while (file.write(block) == block.size() && file.flush()) { }
        } else {
            m_world.session().run(
                QStringLiteral("prlimit"),
                {QStringLiteral("--pid"), QString::number(m_world.applicationPid()),
                 QStringLiteral("--fsize=%1").arg(QFileInfo(storage + QStringLiteral("/history.json")).size())});
        }
        const QByteArray before = readFile(storage + QStringLiteral("/history.json"));
        const QString failure = QStringLiteral("Failed to save clipboard history");
        const qsizetype failuresBefore = m_world.applicationOutput().count(failure);
        m_world.copy("while full 1");
        QTest::qWait(1000);
        m_world.copy("while full 2");
        QTest::qWait(1000);
        QCOMPARE(readFile(storage + QStringLiteral("/history.json")), before);
        const AppWorld::Result status = m_world.vexilo({QStringLiteral("status")});
        QVERIFY2(status.out.contains(QStringLiteral("Saving: FAILED")), qPrintable(status.out));
        QCOMPARE(m_world.applicationOutput().count(failure), failuresBefore + 1);

        if (mounted)
            QVERIFY(QFile::remove(filler));
        else
            m_world.session().run(QStringLiteral("prlimit"),
                                  {QStringLiteral("--pid"), QString::number(m_world.applicationPid()),
                                   QStringLiteral("--fsize=unlimited")});
        m_world.copy("room again");
        QVERIFY(m_world.waitForSavedClip(AppWorld::textIs(QStringLiteral("room again"))));
        const QList<ClipItem> saved = m_world.historyFile();
        QVERIFY(std::any_of(saved.cbegin(), saved.cend(), AppWorld::textIs(QStringLiteral("while full 1"))));
        QVERIFY(!m_world.vexilo({QStringLiteral("status")}).out.contains(QStringLiteral("FAILED")));
        QVERIFY(m_world.quitApplication());
    }
};

QTEST_GUILESS_MAIN(TestCrashEndToEnd)
#include "tst_e2e_crash.moc"
