// SPDX-License-Identifier: MIT
#include "InstanceClient.h"
#include "InstanceServer.h"

#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

using namespace Vexilo;
using namespace Qt::StringLiterals;

namespace {

struct Request
{
    QStringList arguments;
    QString input;
    QString workingDirectory;
    int columns = 0;
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
        return [this](const QStringList &arguments, const CommandContext &context,
                      std::function<void(const CommandOutput &)> reply) {
            m_requests.append({arguments, context.input, context.workingDirectory, context.columns});
            QTimer::singleShot(20, this, [reply, arguments, input = context.input] {
                reply({4, arguments.join(u' ') + u'\n', u"%1 bytes in\n"_s.arg(input.size())});
            });
        };
    }

private Q_SLOTS:
    void init()
    {
        m_requests.clear();
        m_socket = m_dir.path() + u"/run/vexilo.socket"_s;
        m_storage = m_dir.path() + u"/Vexilo"_s;
    }

    void commandsComeBackWithTheirOutput()
    {
        InstanceServer server(m_socket, m_storage, recordingHandler());
        QVERIFY2(server.listen(), qPrintable(server.errorString()));
        QCOMPARE(QFileInfo(QFileInfo(m_socket).absolutePath()).permissions() & 0x0077, QFileDevice::Permissions());

        const QString input(300000, u'é'); // several reads on the way in
        const QString socket = m_socket, storage = m_storage + u"/./"_s;
        const auto output = fromClient([=] {
            return InstanceClient(socket).runCommand({u"list"_s, u"--limit"_s, u"3"_s},
                                                     CommandContext{input, u"/tmp"_s, 132}, storage);
        });
        QVERIFY(output);
        QCOMPARE(output->exitCode, 4);
        QCOMPARE(output->out, u"list --limit 3\n"_s);
        QCOMPARE(output->err, u"300000 bytes in\n"_s);
        QCOMPARE(m_requests.size(), 1);
        QCOMPARE(m_requests.first().input, input);
        QCOMPARE(m_requests.first().workingDirectory, u"/tmp"_s);
        QCOMPARE(m_requests.first().columns, 132);
    }

    void anotherHistoryFolderIsLeftToTheClient()
    {
        InstanceServer server(m_socket, m_storage, recordingHandler());
        QVERIFY(server.listen());
        const QString socket = m_socket, other = m_dir.path() + u"/Other"_s;
        const auto output = fromClient([=] {
            return InstanceClient(socket).runCommand({u"clear"_s}, CommandContext{{}, u"/"_s}, other);
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
        QCOMPARE(second.errorString(), u"Vexilo is already running."_s);

        const QString socket = m_socket;
        QVERIFY(fromClient([=] { return InstanceClient(socket).reopen(); }));
        QCOMPARE(reopened.size(), 1);
    }

    // Outside the runtime folder, the socket's folder must be this user's own, closed to others: a
    // folder someone else prepared would let them hear what the client sends.
    void anOpenSocketFolderIsRefused_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("reason");
        QTest::newRow("open to others") << u"0755"_s << u"its permissions are 0755, not 0700"_s;
        QTest::newRow("a symbolic link") << u"link"_s << u"it is a symbolic link"_s;
        QTest::newRow("a file") << u"file"_s << u"it is not a folder"_s;
    }

    void anOpenSocketFolderIsRefused()
    {
        QFETCH(QString, setup);
        QFETCH(QString, reason);
        const QString folder = QFileInfo(m_socket).absolutePath();
        QDir(folder).removeRecursively();
        if (setup == u"file") {
            QFile file(folder);
            QVERIFY(file.open(QIODevice::WriteOnly));
        } else if (setup == u"link") {
            QVERIFY(QDir().mkpath(m_dir.path() + u"/elsewhere"_s));
            QVERIFY(QFile::link(m_dir.path() + u"/elsewhere"_s, folder));
        } else {
            QVERIFY(QDir().mkpath(folder));
            QVERIFY(QFile::setPermissions(folder, QFile::Permissions(0x755)));
        }
        InstanceServer server(m_socket, m_storage, recordingHandler());
        QVERIFY(!server.listen());
        QVERIFY2(server.errorString().contains(reason), qPrintable(server.errorString()));
        QVERIFY(InstanceClient(m_socket).folderProblem());
        QFile::remove(folder);
        QDir(folder).removeRecursively();
    }
};

QTEST_GUILESS_MAIN(TestInstanceServer)
#include "tst_instanceserver.moc"
