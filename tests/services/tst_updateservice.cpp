// SPDX-License-Identifier: MIT
#include "AppSettings.h"
#include "AppStorageKeys.h"
#include "FakeWorkspace.h"
#include "UpdatePrompt.h"
#include "UpdateService.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

using namespace Vexilo;

namespace {

constexpr int checkTimeoutMs = 20000;

// A manifest server on 127.0.0.1: answers every request with the configured status and body, or not
// at all.
class ManifestServer : public QObject
{
public:
    int status = 200;
    QByteArray body;
    bool answers = true;
    QList<QByteArray> requests;

    ManifestServer()
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                socket->setParent(this);
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    QByteArray &request = m_pending[socket];
                    request += socket->readAll();
                    if (!request.contains("\r\n\r\n"))
                        return;
                    requests.append(request);
                    if (!answers)
                        return;
                    socket->write("HTTP/1.1 " + QByteArray::number(status) +
                                  " Status\r\nContent-Type: application/json\r\nContent-Length: " +
                                  QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
                    socket->disconnectFromHost();
                });
            }
        });
    }

    [[nodiscard]] QUrl url() const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1/update.json").arg(m_server.serverPort()));
    }

private:
    QTcpServer m_server;
    QHash<QTcpSocket *, QByteArray> m_pending;
};

// Records each alert and answers it with the next scripted button (the first by default), later, as
// a dialog would.
class RecordingPrompt : public UpdatePrompt
{
public:
    QStringList alerts; // "title | message | buttons"
    QList<int> answers;
    bool hold = false;
    std::function<void()> release;

    void showAlert(const QString &title, const QString &message, const QStringList &buttons,
                   std::function<void(int)> done) override
    {
        alerts.append(title + QStringLiteral(" | ") + message + QStringLiteral(" | ") + buttons.join(u','));
        const int answer = answers.isEmpty() ? 0 : answers.takeFirst();
        release = [done, answer] { done(answer); };
        if (!hold)
            QMetaObject::invokeMethod(QCoreApplication::instance(), release, Qt::QueuedConnection);
    }
};

QByteArray manifest(const QString &version, qint64 build, const QString &url = QStringLiteral("https://example.com/dl"),
                    const QString &notesJson = {})
{
    QByteArray json = "{\"version\":\"" + version.toUtf8() + "\",\"build\":" + QByteArray::number(build) +
        ",\"downloadURL\":\"" + url.toUtf8() + "\"";
    if (!notesJson.isEmpty())
        json += ",\"releaseNotes\":" + notesJson.toUtf8();
    return json + '}';
}

const QString couldNot = QStringLiteral("Could Not Check for Updates | ");
const QString connection = QStringLiteral("Check your internet connection and try again. | OK");
const QString updateButtons = QStringLiteral(" | Download Update,Later");

} // namespace

class TestUpdateService : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<AppSettings> m_settings;
    std::unique_ptr<FakeWorkspace> m_workspace;
    std::unique_ptr<RecordingPrompt> m_prompt;
    std::unique_ptr<ManifestServer> m_server;
    QDateTime m_clock;

    [[nodiscard]] std::unique_ptr<UpdateService> makeService(const QString &version = QStringLiteral("1.4.2"),
                                                             qint64 build = 12, int timeoutMs = 60000,
                                                             const QUrl &url = {})
    {
        UpdateService::Environment environment;
        environment.manifestURL = url.isEmpty() ? m_server->url() : url;
        environment.shortVersion = version;
        environment.build = build;
        environment.settings = m_settings.get();
        environment.workspace = m_workspace.get();
        environment.prompt = m_prompt.get();
        environment.now = [this] { return m_clock; };
        environment.requestTimeoutMs = timeoutMs;
        return std::make_unique<UpdateService>(environment);
    }

    static bool runCheck(UpdateService &service, bool userInitiated)
    {
        QSignalSpy finished(&service, &UpdateService::checkFinished);
        service.checkForUpdates(userInitiated);
        return finished.count() == 1 || finished.wait(checkTimeoutMs);
    }

private Q_SLOTS:
    void init()
    {
        m_settings = AppSettings::openFile(
            m_dir.filePath(QStringLiteral("settings-%1.ini").arg(QUuid::createUuid().toString(QUuid::Id128))));
        m_settings->registerDefaults(AppStorageKeys::defaultValues());
        m_workspace = std::make_unique<FakeWorkspace>();
        m_prompt = std::make_unique<RecordingPrompt>();
        m_server = std::make_unique<ManifestServer>();
        m_clock = QDateTime(QDate(2025, 3, 1), QTime(12, 0), Qt::UTC);
    }

    void compareSemver_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("expected"); // -1 ascending, 0 same, 1 descending

        QTest::newRow("numbers, not text") << QStringLiteral("1.10.0") << QStringLiteral("1.9.3") << 1;
        QTest::newRow("patch older") << QStringLiteral("1.2.3") << QStringLiteral("1.2.4") << -1;
        QTest::newRow("missing places are 0") << QStringLiteral("1.0") << QStringLiteral("1.0.0") << 0;
        QTest::newRow("longer is newer when not 0") << QStringLiteral("1.0.1") << QStringLiteral("1.0") << 1;
        QTest::newRow("empty pieces dropped") << QStringLiteral("1..2.") << QStringLiteral("1.2") << 0;
        QTest::newRow("non-integers dropped") << QStringLiteral("2.0-beta.1") << QStringLiteral("2.1") << 0;
        QTest::newRow("prefix makes a piece not a number") << QStringLiteral("v2.0") << QStringLiteral("1.0") << -1;
        QTest::newRow("inner blank makes a piece not a number")
            << QStringLiteral("1. 2") << QStringLiteral("1.2") << -1;
        QTest::newRow("signs allowed") << QStringLiteral("1.-2") << QStringLiteral("1") << -1;
        QTest::newRow("plus sign") << QStringLiteral("+3") << QStringLiteral("3.0") << 0;
        QTest::newRow("too large to be a number")
            << QStringLiteral("99999999999999999999.1") << QStringLiteral("0.1") << 1;
        QTest::newRow("both empty") << QString() << QStringLiteral("0") << 0;
    }

    void compareSemver()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, expected);
        const std::strong_ordering order = UpdateService::compareSemver(a, b);
        QCOMPARE(order < 0 ? -1 : (order > 0 ? 1 : 0), expected);
    }

    void decodeManifest_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("notes"); // "-": absent

        QTest::newRow("required keys") << manifest(QStringLiteral("1.5.0"), 13) << true << QStringLiteral("-");
        QTest::newRow("with notes") << manifest(QStringLiteral("1.5.0"), 13, QStringLiteral("https://x/y"),
                                                QStringLiteral("\"Fixes\""))
                                    << true << QStringLiteral("Fixes");
        QTest::newRow("null notes") << manifest(QStringLiteral("1.5.0"), 13, QStringLiteral("https://x/y"),
                                                QStringLiteral("null"))
                                    << true << QStringLiteral("-");
        QTest::newRow("other keys ignored")
            << QByteArray("{\"version\":\"1\",\"build\":2,\"downloadURL\":\"u\",\"sha\":[1,2]}") << true
            << QStringLiteral("-");
        QTest::newRow("whole float build")
            << QByteArray("{\"version\":\"1\",\"build\":2.0,\"downloadURL\":\"u\"}") << true << QStringLiteral("-");
        QTest::newRow("notes of another type")
            << manifest(QStringLiteral("1.5.0"), 13, QStringLiteral("https://x/y"), QStringLiteral("42")) << false
            << QString();
        QTest::newRow("build as text") << QByteArray("{\"version\":\"1\",\"build\":\"2\",\"downloadURL\":\"u\"}")
                                       << false << QString();
        QTest::newRow("fractional build")
            << QByteArray("{\"version\":\"1\",\"build\":2.5,\"downloadURL\":\"u\"}") << false << QString();
        QTest::newRow("version as number")
            << QByteArray("{\"version\":1,\"build\":2,\"downloadURL\":\"u\"}") << false << QString();
        QTest::newRow("missing download") << QByteArray("{\"version\":\"1\",\"build\":2}") << false << QString();
        QTest::newRow("null download") << QByteArray("{\"version\":\"1\",\"build\":2,\"downloadURL\":null}") << false
                                       << QString();
        QTest::newRow("array") << QByteArray("[{\"version\":\"1\",\"build\":2,\"downloadURL\":\"u\"}]") << false
                               << QString();
        QTest::newRow("malformed") << QByteArray("{\"version\":\"1\",") << false << QString();
        QTest::newRow("empty") << QByteArray() << false << QString();
    }

    void decodeManifest()
    {
        QFETCH(QByteArray, json);
        QFETCH(bool, valid);
        QFETCH(QString, notes);
        const std::optional<UpdateService::Manifest> decoded = UpdateService::decodeManifest(json);
        QCOMPARE(decoded.has_value(), valid);
        if (valid)
            QCOMPARE(decoded->releaseNotes.value_or(QStringLiteral("-")), notes);
    }

    void manifestURL_data()
    {
        QTest::addColumn<QString>("configured");
        QTest::addColumn<QString>("expected"); // empty: the default address

        QTest::newRow("plain") << QStringLiteral("https://updates.example.com/update.json")
                               << QStringLiteral("https://updates.example.com/update.json");
        QTest::newRow("trimmed") << QStringLiteral("  https://example.com/u.json\n")
                                 << QStringLiteral("https://example.com/u.json");
        QTest::newRow("placeholder") << QStringLiteral("https://REPLACE_ME.example/update.json") << QString();
        QTest::newRow("placeholder in lower case")
            << QStringLiteral("https://example.com/replace/update.json") << QString();
        QTest::newRow("blank") << QStringLiteral(" \n ") << QString();
        QTest::newRow("not a URL") << QStringLiteral("update json") << QString();
    }

    void manifestURL()
    {
        QFETCH(QString, configured);
        QFETCH(QString, expected);
        const QUrl resolved = UpdateService::resolveManifestURL(configured);
        QCOMPARE(resolved, expected.isEmpty() ? UpdateService::defaultManifestURL() : QUrl(expected));
        QCOMPARE(UpdateService::defaultManifestURL().scheme(), QStringLiteral("https"));
        QCOMPARE(UpdateService::defaultManifestURL().path(), QStringLiteral("/update.json"));
    }

    void check_data()
    {
        QTest::addColumn<bool>("userInitiated");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("runningVersion");
        QTest::addColumn<int>("skipped"); // -1: none stored
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<QStringList>("alerts");
        QTest::addColumn<QString>("opened"); // empty: nothing
        QTest::addColumn<int>("skippedAfter"); // -1: none

        const QByteArray newer =
            manifest(QStringLiteral("1.5.0"), 13, QStringLiteral("https://example.com/Vexilo-1.5.0"));
        const QString offer =
            QStringLiteral("Update Available | Vexilo 1.5.0 is available. You have 1.4.2 (12).") + updateButtons;
        const QString upToDate = QStringLiteral("You're Up to Date | Vexilo 1.4.2 (12) is the latest version. | OK");
        const QString invalidLink =
            QStringLiteral("Invalid Download Link | The update manifest has an invalid download URL. | OK");
        const QString v142 = QStringLiteral("1.4.2");

        // Newer builds: offered; "Download Update" opens the page, "Later" skips the build.
        QTest::newRow("newer, download") << true << 200 << newer << v142 << -1 << QList<int>{0} << QStringList{offer}
                                         << QStringLiteral("https://example.com/Vexilo-1.5.0") << -1;
        QTest::newRow("newer, later") << true << 200 << newer << v142 << -1 << QList<int>{1} << QStringList{offer}
                                      << QString() << 13;
        // Closed without an answer (or shown where nobody can answer): nothing is skipped.
        QTest::newRow("newer, closed") << true << 200 << newer << v142 << -1 << QList<int>{-1} << QStringList{offer}
                                       << QString() << -1;
        QTest::newRow("newer, automatic")
            << false << 200 << newer << v142 << -1 << QList<int>{1} << QStringList{offer} << QString() << 13;
        QTest::newRow("skipped build stays silent when automatic")
            << false << 200 << newer << v142 << 13 << QList<int>{} << QStringList{} << QString() << 13;
        QTest::newRow("skipped build still offered to the user")
            << true << 200 << newer << v142 << 13 << QList<int>{0} << QStringList{offer}
            << QStringLiteral("https://example.com/Vexilo-1.5.0") << 13;
        QTest::newRow("another build skipped")
            << false << 200 << newer << v142 << 11 << QList<int>{1} << QStringList{offer} << QString() << 13;

        // Builds decide; versions only when the builds are equal.
        QTest::newRow("same build, higher version as numbers")
            << true << 200 << manifest(QStringLiteral("1.10.0"), 12) << QStringLiteral("1.9.3") << -1 << QList<int>{1}
            << QStringList{QStringLiteral("Update Available | Vexilo 1.10.0 is available. You have 1.9.3 (12).") +
                           updateButtons}
            << QString() << 12;
        QTest::newRow("same build, same version") << true << 200 << manifest(v142, 12) << v142 << -1 << QList<int>{}
                                                  << QStringList{upToDate} << QString() << -1;
        QTest::newRow("same build, lower version") << true << 200 << manifest(QStringLiteral("1.4.1"), 12) << v142 << -1
                                                   << QList<int>{} << QStringList{upToDate} << QString() << -1;
        QTest::newRow("older build, higher version") << true << 200 << manifest(QStringLiteral("9.0"), 11) << v142 << -1
                                                     << QList<int>{} << QStringList{upToDate} << QString() << -1;
        QTest::newRow("newer build, lower version")
            << true << 200 << manifest(QStringLiteral("0.1"), 13) << v142 << -1 << QList<int>{1}
            << QStringList{QStringLiteral("Update Available | Vexilo 0.1 is available. You have 1.4.2 (12).") +
                           updateButtons}
            << QString() << 13;
        QTest::newRow("up to date, automatic")
            << false << 200 << manifest(v142, 12) << v142 << -1 << QList<int>{} << QStringList{} << QString() << -1;

        // Release notes.
        QTest::newRow("notes trimmed and appended")
            << true << 200
            << manifest(QStringLiteral("1.5.0"), 13, QStringLiteral("https://example.com/dl"),
                        QStringLiteral("\"  Faster search.\\nFewer crashes.\\n\\n\""))
            << v142 << -1 << QList<int>{1}
            << QStringList{QStringLiteral("Update Available | Vexilo 1.5.0 is available. You have 1.4.2 (12).\n\n"
                                          "Faster search.\nFewer crashes.") +
                           updateButtons}
            << QString() << 13;
        QTest::newRow("blank notes add nothing")
            << true << 200
            << manifest(QStringLiteral("1.5.0"), 13, QStringLiteral("https://example.com/dl"),
                        QStringLiteral("\" \\n\\t \""))
            << v142 << -1 << QList<int>{1} << QStringList{offer} << QString() << 13;

        // Download addresses: only web addresses are opened.
        QTest::newRow("http link") << true << 200
                                   << manifest(QStringLiteral("1.5.0"), 13, QStringLiteral("http://example.com/dl"))
                                   << v142 << -1 << QList<int>{0} << QStringList{offer}
                                   << QStringLiteral("http://example.com/dl") << -1;
        for (const char *link : {"file:///etc/passwd", "javascript:alert(1)", "ftp://example.com/dl", "ssh://host",
                                 "not a link", "https://", ""}) {
            QTest::addRow("invalid link %s", link)
                << true << 200 << manifest(QStringLiteral("1.5.0"), 13, QString::fromLatin1(link)) << v142 << -1
                << QList<int>{0, 0} << QStringList{offer, invalidLink} << QString() << -1;
        }

        // Failures: only the user hears of them.
        const QString notFound = couldNot +
            QStringLiteral("The update manifest was not found. Check that update.json is deployed on your site. | OK");
        const QString serverError =
            couldNot + QStringLiteral("The update server returned an error. Try again later. | OK");
        QTest::newRow("404") << true << 404 << QByteArray("nope") << v142 << -1 << QList<int>{} << QStringList{notFound}
                             << QString() << -1;
        QTest::newRow("404 automatic") << false << 404 << QByteArray() << v142 << -1 << QList<int>{} << QStringList{}
                                       << QString() << -1;
        QTest::newRow("500") << true << 500 << newer << v142 << -1 << QList<int>{} << QStringList{serverError}
                             << QString() << -1;
        QTest::newRow("204") << true << 204 << QByteArray() << v142 << -1 << QList<int>{} << QStringList{serverError}
                             << QString() << -1;
        QTest::newRow("500 automatic") << false << 500 << newer << v142 << -1 << QList<int>{} << QStringList{}
                                       << QString() << -1;
        QTest::newRow("malformed JSON") << true << 200 << QByteArray("{\"version\": 1.5") << v142 << -1 << QList<int>{}
                                        << QStringList{couldNot + connection} << QString() << -1;
        QTest::newRow("incomplete manifest")
            << true << 200 << QByteArray("{\"version\":\"1.5.0\",\"build\":13}") << v142 << -1 << QList<int>{}
            << QStringList{couldNot + connection} << QString() << -1;
        QTest::newRow("malformed JSON automatic")
            << false << 200 << QByteArray("<html>") << v142 << -1 << QList<int>{} << QStringList{} << QString() << -1;
    }

    void check()
    {
        QFETCH(bool, userInitiated);
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(QString, runningVersion);
        QFETCH(int, skipped);
        QFETCH(QList<int>, answers);
        QFETCH(QStringList, alerts);
        QFETCH(QString, opened);
        QFETCH(int, skippedAfter);

        m_server->status = status;
        m_server->body = body;
        if (skipped >= 0)
            m_settings->setValue(AppStorageKeys::skippedUpdateBuild, skipped);
        m_prompt->answers = answers;
        auto service = makeService(runningVersion);

        QVERIFY(runCheck(*service, userInitiated));
        QVERIFY(!service->isChecking());
        QCOMPARE(m_server->requests.size(), 1);
        QVERIFY(m_server->requests.first().startsWith("GET /update.json HTTP/1.1\r\n"));
        QCOMPARE(m_prompt->alerts, alerts);
        QCOMPARE(m_workspace->openedUrls(), opened.isEmpty() ? QList<QUrl>{} : QList<QUrl>{QUrl(opened)});
        const QVariant skippedValue = m_settings->value(AppStorageKeys::skippedUpdateBuild);
        QCOMPARE(skippedValue.isValid() ? skippedValue.toInt() : -1, skippedAfter);
        // Only automatic checks move the cooldown.
        const QVariant last = m_settings->value(AppStorageKeys::lastUpdateCheckDate);
        if (userInitiated)
            QVERIFY(!last.isValid());
        else
            QCOMPARE(last.toDateTime(), m_clock);
    }

    void noConnection_data()
    {
        QTest::addColumn<bool>("answers");
        QTest::newRow("refused") << false;
        QTest::newRow("no answer within the timeout") << true;
    }

    void noConnection()
    {
        QFETCH(bool, answers);
        QUrl url = m_server->url();
        if (answers) {
            m_server->answers = false;
        } else {
            // A port on loopback where nothing listens any more.
            QTcpServer closed;
            QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
            url.setPort(closed.serverPort());
        }
        auto service = makeService(QStringLiteral("1.4.2"), 12, 300, url);
        QVERIFY(runCheck(*service, true));
        QCOMPARE(m_prompt->alerts, QStringList{couldNot + connection});
        QVERIFY(runCheck(*service, false));
        QCOMPARE(m_prompt->alerts.size(), 1);
    }

    void cooldown()
    {
        m_server->body = manifest(QStringLiteral("1.4.2"), 12);
        auto service = makeService();
        QVERIFY(!service->isWithinAutomaticCheckCooldown());
        QVERIFY(runCheck(*service, true));
        QVERIFY(!service->isWithinAutomaticCheckCooldown());
        QVERIFY(runCheck(*service, false));
        QVERIFY(service->isWithinAutomaticCheckCooldown());
        m_clock = m_clock.addSecs(86399);
        QVERIFY(service->isWithinAutomaticCheckCooldown());
        m_clock = m_clock.addSecs(1);
        QVERIFY(!service->isWithinAutomaticCheckCooldown());
        // A date in the future (the clock was set back) still counts as recent.
        m_settings->setValue(AppStorageKeys::lastUpdateCheckDate, m_clock.addDays(3));
        QVERIFY(service->isWithinAutomaticCheckCooldown());
        m_settings->setValue(AppStorageKeys::lastUpdateCheckDate, QStringLiteral("not a date"));
        QVERIFY(!service->isWithinAutomaticCheckCooldown());
    }

    // One check at a time; it lasts until its alert is answered.
    void oneCheckAtATime()
    {
        m_server->body = manifest(QStringLiteral("1.5.0"), 13);
        m_prompt->hold = true;
        m_prompt->answers = {1};
        auto service = makeService();
        QSignalSpy finished(service.get(), &UpdateService::checkFinished);
        service->checkForUpdates(true);
        QVERIFY(service->isChecking());
        service->checkForUpdates(true);
        service->checkForUpdates(false);
        QTRY_COMPARE_WITH_TIMEOUT(m_prompt->alerts.size(), 1, checkTimeoutMs);
        QVERIFY(service->isChecking());
        QCOMPARE(finished.count(), 0);
        m_prompt->release();
        QCOMPARE(finished.count(), 1);
        QVERIFY(!service->isChecking());
        QCOMPARE(m_server->requests.size(), 1);
        QCOMPARE(m_settings->value(AppStorageKeys::skippedUpdateBuild).toInt(), 13);
    }

    // An answer that comes after the service is gone does nothing.
    void answerAfterServiceGone()
    {
        m_server->body = manifest(QStringLiteral("1.5.0"), 13);
        m_prompt->hold = true;
        auto service = makeService();
        service->checkForUpdates(true);
        QTRY_COMPARE_WITH_TIMEOUT(m_prompt->alerts.size(), 1, checkTimeoutMs);
        service.reset();
        m_prompt->release();
        QCOMPARE(m_workspace->openedUrls(), QList<QUrl>{});
    }
};

QTEST_GUILESS_MAIN(TestUpdateService)
#include "tst_updateservice.moc"
