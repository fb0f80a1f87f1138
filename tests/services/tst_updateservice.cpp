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
using namespace Qt::StringLiterals;

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

    [[nodiscard]] QUrl url() const { return QUrl(u"http://127.0.0.1:%1/update.json"_s.arg(m_server.serverPort())); }

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
        alerts.append(title + u" | "_s + message + u" | "_s + buttons.join(u','));
        const int answer = answers.isEmpty() ? 0 : answers.takeFirst();
        release = [done, answer] { done(answer); };
        if (!hold)
            QMetaObject::invokeMethod(QCoreApplication::instance(), release, Qt::QueuedConnection);
    }
};

QByteArray manifest(const QString &version, qint64 build, const QString &url = u"https://example.com/dl"_s,
                    const QString &notesJson = {})
{
    QByteArray json = "{\"version\":\"" + version.toUtf8() + "\",\"build\":" + QByteArray::number(build) +
        ",\"downloadURL\":\"" + url.toUtf8() + "\"";
    if (!notesJson.isEmpty())
        json += ",\"releaseNotes\":" + notesJson.toUtf8();
    return json + '}';
}

const QString couldNot = u"Could Not Check for Updates | "_s;
const QString connection = u"Check your internet connection and try again. | OK"_s;
const QString updateButtons = u" | Download Update,Later"_s;

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

    [[nodiscard]] std::unique_ptr<UpdateService> makeService(const QString &version = u"1.4.2"_s, qint64 build = 12,
                                                             int timeoutMs = 60000, const QUrl &url = {})
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
        m_settings =
            AppSettings::openFile(m_dir.filePath(u"settings-%1.ini"_s.arg(QUuid::createUuid().toString(QUuid::Id128))));
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

        // Dotted integers compared as numbers; missing places are 0; what is no integer is dropped.
        QTest::newRow("numbers, not text") << u"1.10.0"_s << u"1.9.3"_s << 1;
        QTest::newRow("missing places are 0") << u"1.0"_s << u"1.0.0"_s << 0;
        QTest::newRow("longer is newer when not 0") << u"1.0.1"_s << u"1.0"_s << 1;
        QTest::newRow("empty pieces dropped") << u"1..2."_s << u"1.2"_s << 0;
        QTest::newRow("non-integers dropped") << u"2.0-beta.1"_s << u"2.1"_s << 0;
        QTest::newRow("prefix makes a piece not a number") << u"v2.0"_s << u"1.0"_s << -1;
        QTest::newRow("signs allowed") << u"1.-2"_s << u"1"_s << -1;
        QTest::newRow("too large to be a number") << u"99999999999999999999.1"_s << u"0.1"_s << 1;
        QTest::newRow("both empty") << QString() << u"0"_s << 0;
    }

    void compareSemver()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        const std::strong_ordering order = UpdateService::compareSemver(a, b);
        QTEST(order < 0 ? -1 : (order > 0 ? 1 : 0), "expected");
    }

    void decodeManifest_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("notes"); // "-": absent

        // Version and download address are strings and the build a whole number; notes are optional.
        QTest::newRow("required keys") << manifest(u"1.5.0"_s, 13) << true << u"-"_s;
        QTest::newRow("with notes") << manifest(u"1.5.0"_s, 13, u"https://x/y"_s, u"\"Fixes\""_s) << true << u"Fixes"_s;
        QTest::newRow("null notes") << manifest(u"1.5.0"_s, 13, u"https://x/y"_s, u"null"_s) << true << u"-"_s;
        QTest::newRow("other keys ignored")
            << QByteArray(R"({"version":"1","build":2,"downloadURL":"u","sha":[1]})") << true << u"-"_s;
        QTest::newRow("whole float build")
            << QByteArray(R"({"version":"1","build":2.0,"downloadURL":"u"})") << true << u"-"_s;
        QTest::newRow("notes of another type")
            << manifest(u"1.5.0"_s, 13, u"https://x/y"_s, u"42"_s) << false << QString();
        QTest::newRow("build as text") << QByteArray(R"({"version":"1","build":"2","downloadURL":"u"})") << false
                                       << QString();
        QTest::newRow("fractional build")
            << QByteArray(R"({"version":"1","build":2.5,"downloadURL":"u"})") << false << QString();
        QTest::newRow("version as number")
            << QByteArray(R"({"version":1,"build":2,"downloadURL":"u"})") << false << QString();
        QTest::newRow("null download") << QByteArray(R"({"version":"1","build":2,"downloadURL":null})") << false
                                       << QString();
        QTest::newRow("array") << QByteArray(R"([{"version":"1","build":2,"downloadURL":"u"}])") << false << QString();
    }

    void decodeManifest()
    {
        QFETCH(QByteArray, json);
        QFETCH(bool, valid);
        const std::optional<UpdateService::Manifest> decoded = UpdateService::decodeManifest(json);
        QCOMPARE(decoded.has_value(), valid);
        if (valid)
            QTEST(decoded->releaseNotes.value_or(u"-"_s), "notes");
    }

    void manifestURL_data()
    {
        QTest::addColumn<QString>("configured");
        QTest::addColumn<QString>("expected"); // empty: the default address

        // Trimmed; blanks, non-URLs and unreplaced placeholders (in any case) fall back to the default.
        QTest::newRow("trimmed") << u"  https://example.com/u.json\n"_s << u"https://example.com/u.json"_s;
        QTest::newRow("placeholder") << u"https://REPLACE_ME.example/update.json"_s << QString();
        QTest::newRow("placeholder in lower case") << u"https://example.com/replace/update.json"_s << QString();
        QTest::newRow("blank") << u" \n "_s << QString();
        QTest::newRow("not a URL") << u"update json"_s << QString();
    }

    void manifestURL()
    {
        QFETCH(QString, configured);
        QFETCH(QString, expected);
        const QUrl resolved = UpdateService::resolveManifestURL(configured);
        QCOMPARE(resolved, expected.isEmpty() ? UpdateService::defaultManifestURL() : QUrl(expected));
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
        const auto row = [](const char *name, bool user, int status, const QByteArray &body, const QList<int> &answers,
                            const QStringList &alerts, const QString &opened = {}, int skippedAfter = -1,
                            const QString &running = u"1.4.2"_s, int skipped = -1) {
            QTest::newRow(name) << user << status << body << running << skipped << answers << alerts << opened
                                << skippedAfter;
        };
        const auto offerOf = [](const QString &version, const QString &running = u"1.4.2"_s) -> QString {
            return u"Update Available | Vexilo %1 is available. You have %2 (12)."_s.arg(version, running) +
                updateButtons;
        };

        const QString page = u"https://example.com/Vexilo-1.5.0"_s;
        const QByteArray newer = manifest(u"1.5.0"_s, 13, page);
        const QString offer = offerOf(u"1.5.0"_s);
        const QString upToDate = u"You're Up to Date | Vexilo 1.4.2 (12) is the latest version. | OK"_s;
        const QString invalidLink = u"Invalid Download Link | The update manifest has an invalid download URL. | OK"_s;
        const QString v142 = u"1.4.2"_s;

        // Newer builds: offered; "Download Update" opens the page, "Later" skips the build.
        row("newer, download", true, 200, newer, {0}, {offer}, page);
        row("newer, later", true, 200, newer, {1}, {offer}, {}, 13);
        // Closed without an answer (or shown where nobody can answer): nothing is skipped.
        row("newer, closed", true, 200, newer, {-1}, {offer});
        row("newer, automatic", false, 200, newer, {1}, {offer}, {}, 13);
        row("skipped build stays silent when automatic", false, 200, newer, {}, {}, {}, 13, v142, 13);
        row("skipped build still offered to the user", true, 200, newer, {0}, {offer}, page, 13, v142, 13);
        row("another build skipped", false, 200, newer, {1}, {offer}, {}, 13, v142, 11);
        // Builds decide; versions only when the builds are equal.
        row("same build, higher version as numbers", true, 200, manifest(u"1.10.0"_s, 12), {1},
            {offerOf(u"1.10.0"_s, u"1.9.3"_s)}, {}, 12, u"1.9.3"_s);
        row("same build, lower version", true, 200, manifest(u"1.4.1"_s, 12), {}, {upToDate});
        row("older build, higher version", true, 200, manifest(u"9.0"_s, 11), {}, {upToDate});
        row("newer build, lower version", true, 200, manifest(u"0.1"_s, 13), {1}, {offerOf(u"0.1"_s)}, {}, 13);
        row("up to date, automatic", false, 200, manifest(v142, 12), {}, {});
        // Release notes, trimmed, follow the offer.
        row("notes trimmed and appended", true, 200,
            manifest(u"1.5.0"_s, 13, page, u"\"  Faster search.\\nFewer crashes.\\n\\n\""_s), {1},
            {offer.chopped(updateButtons.size()) + u"\n\nFaster search.\nFewer crashes."_s + updateButtons}, {}, 13);
        row("blank notes add nothing", true, 200, manifest(u"1.5.0"_s, 13, page, u"\" \\n\\t \""_s), {1}, {offer}, {},
            13);
        // Download addresses: only web addresses are opened.
        row("http link", true, 200, manifest(u"1.5.0"_s, 13, u"http://example.com/dl"_s), {0}, {offer},
            u"http://example.com/dl"_s);
        for (const char *link : {"file:///etc/passwd", "javascript:alert(1)", "ftp://example.com/dl", "https://"}) {
            row(qPrintable(u"invalid link "_s + QLatin1StringView(link)), true, 200,
                manifest(u"1.5.0"_s, 13, QString::fromLatin1(link)), {0, 0}, {offer, invalidLink});
        }
        // Failures: only the user hears of them.
        const QString notFound =
            couldNot + u"The update manifest was not found. Check that update.json is deployed on your site. | OK"_s;
        const QString serverError = couldNot + u"The update server returned an error. Try again later. | OK"_s;
        row("404", true, 404, "nope", {}, {notFound});
        row("404 automatic", false, 404, {}, {}, {});
        row("500", true, 500, newer, {}, {serverError});
        row("204", true, 204, {}, {}, {serverError});
        row("malformed JSON", true, 200, "{\"version\": 1.5", {}, {couldNot + connection});
        row("malformed JSON automatic", false, 200, "<html>", {}, {});
    }

    void check()
    {
        QFETCH(bool, userInitiated);
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(QString, runningVersion);
        QFETCH(int, skipped);
        QFETCH(QList<int>, answers);
        QFETCH(QString, opened);

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
        QTEST(m_prompt->alerts, "alerts");
        QCOMPARE(m_workspace->openedUrls(), opened.isEmpty() ? QList<QUrl>{} : QList<QUrl>{QUrl(opened)});
        const QVariant skippedValue = m_settings->value(AppStorageKeys::skippedUpdateBuild);
        QTEST(skippedValue.isValid() ? skippedValue.toInt() : -1, "skippedAfter");
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
        auto service = makeService(u"1.4.2"_s, 12, 300, url);
        QVERIFY(runCheck(*service, true));
        QCOMPARE(m_prompt->alerts, QStringList{couldNot + connection});
        QVERIFY(runCheck(*service, false));
        QCOMPARE(m_prompt->alerts.size(), 1);
    }

    void cooldown()
    {
        m_server->body = manifest(u"1.4.2"_s, 12);
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
        m_settings->setValue(AppStorageKeys::lastUpdateCheckDate, u"not a date"_s);
        QVERIFY(!service->isWithinAutomaticCheckCooldown());
    }

    // One check at a time; it lasts until its alert is answered.
    void oneCheckAtATime()
    {
        m_server->body = manifest(u"1.5.0"_s, 13);
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
        m_server->body = manifest(u"1.5.0"_s, 13);
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
