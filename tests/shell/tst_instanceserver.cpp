// SPDX-License-Identifier: MIT
#include "InstanceClient.h"
#include "InstanceServer.h"

#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace Vexilo;

namespace {

struct Request
{
    QStringList arguments;
    QString input;
    QString workingDirectory;
};

// Runs the blocking client on another thread so that the server in this thread keeps answering.
template<typename Call>
auto fromClient(Call call)
{
    auto future = QtConcurrent::run(call);
    if (!QTest::qWaitFor([&] { return future.isFinished(); }, 20000))
        qFatal("the client did not finish");
    return future.result();
}

// A socket file whose owner is gone: bound, never listening, closed.
bool leaveStaleSocket(const QString &path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray bytes = path.toLocal8Bit();
    std::memcpy(address.sun_path, bytes.constData(), size_t(bytes.size()) + 1);
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    ::close(fd);
    return bound && QFileInfo::exists(path);
}

} // namespace

class TestInstanceServer : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_socket;
    QString m_storage;
    QList<Request> m_requests;

    // Answers every command a little later, as quit does after saving.
    InstanceServer::CommandHandler recordingHandler()
    {
        return [this](const QStringList &arguments, const QString &input, const QString &workingDirectory,
                      std::function<void(const CommandOutput &)> reply) {
            m_requests.append({arguments, input, workingDirectory});
            QTimer::singleShot(20, this, [reply, arguments, input] {
                reply({4, arguments.join(u' ') + u'\n', QStringLiteral("%1 bytes in\n").arg(input.size())});
            });
        };
    }

private Q_SLOTS:
    void init()
    {
        m_requests.clear();
        m_socket = m_dir.path() + QStringLiteral("/run/vexilo.socket");
        m_storage = m_dir.path() + QStringLiteral("/Vexilo");
    }

    void commandsComeBackWithTheirOutput()
    {
        InstanceServer server(m_socket, m_storage, recordingHandler());
        QVERIFY2(server.listen(), qPrintable(server.errorString()));
        QCOMPARE(QFileInfo(QFileInfo(m_socket).absolutePath()).permissions() & 0x0077, QFileDevice::Permissions());

        const QString input(300000, u'é'); // several reads on the way in
        const QString socket = m_socket, storage = m_storage + QStringLiteral("/./");
        const auto output = fromClient([=] {
            return InstanceClient(socket).runCommand(
                {QStringLiteral("list"), QStringLiteral("--limit"), QStringLiteral("3")}, input, QStringLiteral("/tmp"),
                storage);
        });
        QVERIFY(output);
        QCOMPARE(output->exitCode, 4);
        QCOMPARE(output->out, QStringLiteral("list --limit 3\n"));
        QCOMPARE(output->err, QStringLiteral("300000 bytes in\n"));
        QCOMPARE(m_requests.size(), 1);
        QCOMPARE(m_requests.first().input, input);
        QCOMPARE(m_requests.first().workingDirectory, QStringLiteral("/tmp"));
    }

    void anotherHistoryFolderIsLeftToTheClient()
    {
        InstanceServer server(m_socket, m_storage, recordingHandler());
        QVERIFY(server.listen());
        const QString socket = m_socket, other = m_dir.path() + QStringLiteral("/Other");
        const auto output = fromClient([=] {
            return InstanceClient(socket).runCommand({QStringLiteral("clear")}, QString(), QStringLiteral("/"), other);
        });
        QVERIFY(!output);
        QVERIFY(m_requests.isEmpty());
    }

    void aSecondStartReopensTheFirst()
    {
        InstanceServer first(m_socket, m_storage, recordingHandler());
        QVERIFY(first.listen());
        QSignalSpy reopened(&first, &InstanceServer::reopenRequested);

        InstanceServer second(m_socket, m_storage, recordingHandler());
        QVERIFY(!second.listen());
        QCOMPARE(second.errorString(), QStringLiteral("Vexilo is already running."));

        const QString socket = m_socket;
        QVERIFY(fromClient([=] { return InstanceClient(socket).reopen(); }));
        QCOMPARE(reopened.size(), 1);
        // The first still owns the name.
        const auto output = fromClient([=] {
            return InstanceClient(socket).runCommand({QStringLiteral("status")}, QString(), QStringLiteral("/"),
                                                     QString());
        });
        QVERIFY(output);
        QCOMPARE(output->out, QStringLiteral("status\n"));
    }

    void aSocketLeftByADeadInstanceIsTakenOver()
    {
        QVERIFY(QDir().mkpath(QFileInfo(m_socket).absolutePath()));
        QVERIFY(leaveStaleSocket(m_socket));
        QVERIFY(!InstanceClient(m_socket).isRunning());

        InstanceServer server(m_socket, m_storage, recordingHandler());
        QVERIFY2(server.listen(), qPrintable(server.errorString()));
        QVERIFY(InstanceClient(m_socket).isRunning());
    }

    void nobodyListening()
    {
        QVERIFY(!InstanceClient(m_socket).isRunning());
        QVERIFY(!InstanceClient(m_socket).reopen());
        QVERIFY(
            !InstanceClient(m_socket).runCommand({QStringLiteral("list")}, QString(), QStringLiteral("/"), m_storage));
    }
};

QTEST_GUILESS_MAIN(TestInstanceServer)
#include "tst_instanceserver.moc"
