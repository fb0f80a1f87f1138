// SPDX-License-Identifier: MIT
#include "ClipJson.h"
#include "StorageLock.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <unistd.h>

using namespace Vexilo;

namespace {
struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};
} // namespace

// Runs the real `vexilo` binary on a temporary storage folder with private settings.
class TestCli : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_root;
    QString m_data;

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_root.path() + QStringLiteral("/config"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_root.path() + QStringLiteral("/share"));
        env.insert(QStringLiteral("HOME"), m_root.path() + QStringLiteral("/home"));
        return env;
    }

    Run vexilo(const QStringList &arguments, const QByteArray &input = {}, bool withDataDir = true)
    {
        QProcess process;
        process.setProcessEnvironment(environment());
        process.start(QStringLiteral(VEXILO_BINARY),
                      withDataDir ? QStringList{QStringLiteral("--data-dir"), m_data} + arguments : arguments);
        if (!process.waitForStarted(10000))
            return {};
        process.write(input);
        process.closeWriteChannel();
        if (!process.waitForFinished(30000)) {
            process.kill();
            process.waitForFinished();
        }
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2,
                QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
    }

    QString add(const QString &text)
    {
        const Run run = vexilo({QStringLiteral("add"), text});
        return run.out.trimmed();
    }

    static QByteArray readAll(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QList<ClipItem> history() const
    {
        QFile file(m_data + QStringLiteral("/history.json"));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return ClipJson::decodeHistory(file.readAll()).items;
    }

private Q_SLOTS:
    void init()
    {
        m_data = m_root.path() + QStringLiteral("/data-") + QString::number(QRandomGenerator::global()->generate());
    }

    void newHistoryIsEmpty()
    {
        const Run run = vexilo({QStringLiteral("list")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QString());
        QCOMPARE(run.err, QStringLiteral("The history is empty.\n"));
        // The two default snippets were seeded and saved.
        QCOMPARE(history().size(), 2);
        QVERIFY(vexilo({QStringLiteral("snippets")}).out.contains(QStringLiteral(";reply  Quick Email Reply")));
    }

    void addAndList()
    {
        const Run added = vexilo({QStringLiteral("add"), QStringLiteral("Hello, World")});
        QCOMPARE(added.exitCode, 0);
        QVERIFY(QRegularExpression(QStringLiteral("^[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}\\n$"))
                    .match(added.out)
                    .hasMatch());
        QCOMPARE(added.err, QString());
        add(QStringLiteral("https://example.com/page"));
        const Run list = vexilo({QStringLiteral("list")});
        QCOMPARE(list.exitCode, 0);
        const QStringList lines = list.out.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QVERIFY2(
            QRegularExpression(QStringLiteral("^1  [0-9A-F]{8}  URL   example\\.com$")).match(lines.at(0)).hasMatch(),
            qPrintable(lines.at(0)));
        QCOMPARE(lines.at(1).mid(3, 8), added.out.left(8));
        QVERIFY(lines.at(1).endsWith(QStringLiteral("  TEXT  Hello, World")));
    }

    void addRefusals_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("duplicate") << QStringList{QStringLiteral("add"), QStringLiteral("same")} << QByteArray() << 3
                                   << QStringLiteral("already holds");
        QTest::newRow("blank") << QStringList{QStringLiteral("add"), QStringLiteral(" \n ")} << QByteArray() << 3
                               << QStringLiteral("empty");
        QTest::newRow("blank stdin") << QStringList{QStringLiteral("add")} << QByteArray("\n\t") << 3
                                     << QStringLiteral("empty");
        QTest::newRow("unreadable image")
            << QStringList{QStringLiteral("add-image"), QStringLiteral("/nonexistent.png")} << QByteArray() << 2
            << QStringLiteral("cannot read");
        QTest::newRow("missing file") << QStringList{QStringLiteral("add-files"), QStringLiteral("/no/such/file")}
                                      << QByteArray() << 2 << QStringLiteral("no such file");
    }

    void addRefusals()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, input);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        add(QStringLiteral("same"));
        const Run run = vexilo(arguments, input);
        QCOMPARE(run.exitCode, exitCode);
        QCOMPARE(run.out, QString());
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
    }

    void addFromStandardInput()
    {
        const QByteArray text = "line one\nline two \xc3\xa9\n";
        QCOMPARE(vexilo({QStringLiteral("add")}, text).exitCode, 0);
        QCOMPARE(vexilo({QStringLiteral("add"), QStringLiteral("-")}, "dash input").exitCode, 0);
        const QList<ClipItem> items = history();
        QCOMPARE(items.at(0).textContent(), QStringLiteral("dash input"));
        QCOMPARE(items.at(1).textContent(), QString::fromUtf8(text)); // kept exactly, untrimmed
    }

    void largeStandardInputReachesTheStoreWhole()
    {
        // The front end reads standard input before it knows who carries the command out.
        QByteArray text;
        for (int i = 0; text.size() < 3 * 1024 * 1024; ++i)
            text += "Zeile " + QByteArray::number(i) + " \xe2\x82\xac \xf0\x9f\x93\x8b\n";
        QCOMPARE(
            vexilo({QStringLiteral("snippet"), QStringLiteral("add"), QStringLiteral("--title"), QStringLiteral("big")},
                   text)
                .exitCode,
            0);
        const QList<ClipItem> items = history();
        const auto big = std::find_if(items.cbegin(), items.cend(),
                                      [](const ClipItem &item) { return item.snippetTitle() == u"big"; });
        QVERIFY(big != items.cend());
        QCOMPARE(big->textContent(), QString::fromUtf8(text));
    }

    void idsAndPrefixes()
    {
        const QString id = add(QStringLiteral("find me"));
        QCOMPARE(vexilo({QStringLiteral("show"), id.toLower()}).exitCode, 0);
        const Run prefix = vexilo({QStringLiteral("show"), id.left(6).toLower()});
        QCOMPARE(prefix.exitCode, 0);
        QVERIFY(prefix.out.contains(QStringLiteral("find me")));
        QVERIFY(prefix.out.contains(QStringLiteral("Characters: 7")));
        const Run shortPrefix = vexilo({QStringLiteral("show"), id.left(5)});
        QCOMPARE(shortPrefix.exitCode, 2);
        QCOMPARE(vexilo({QStringLiteral("show"), QStringLiteral("00000000-0000-0000-0000-000000000001")}).exitCode, 2);
        const Run json = vexilo({QStringLiteral("show"), id, QStringLiteral("--json")});
        QCOMPARE(QJsonDocument::fromJson(json.out.toUtf8()).object().value(u"id").toString(), id);
    }

    void ambiguousPrefix()
    {
        QList<ClipItem> items;
        for (const char *id : {"ABCDEF01-0000-4000-8000-000000000001", "ABCDEF02-0000-4000-8000-000000000002"}) {
            ClipItem item(QUuid::fromString(QLatin1StringView(id)), 1, ClipType::Text);
            item.setTextContent(QLatin1StringView(id));
            items.append(item);
        }
        QDir().mkpath(m_data);
        QFile file(m_data + QStringLiteral("/history.json"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(ClipJson::encodeHistory(items));
        file.close();
        const Run run = vexilo({QStringLiteral("delete"), QStringLiteral("abcdef")});
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.err.contains(QStringLiteral("matches 2 clips")));
        QCOMPARE(vexilo({QStringLiteral("delete"), QStringLiteral("abcdef02")}).exitCode, 0);
        QCOMPARE(history().size(), 3); // one left, plus the seeded snippets
    }

    void editing()
    {
        const QString older = add(QStringLiteral("older"));
        const QString newer = add(QStringLiteral("newer"));
        QCOMPARE(vexilo({QStringLiteral("pin"), older}).exitCode, 0);
        QVERIFY(vexilo({QStringLiteral("list")}).out.startsWith(QStringLiteral("1  ") + older.left(8)));
        QCOMPARE(vexilo({QStringLiteral("pin"), older}).exitCode, 0); // already pinned: unchanged
        QVERIFY(history().at(1).isPinned()); // pinned where it stands; lists show it first
        QCOMPARE(vexilo({QStringLiteral("tag"), newer, QStringLiteral("#Work")}).exitCode, 0);
        QCOMPARE(vexilo({QStringLiteral("tag"), newer, QStringLiteral("# ")}).exitCode, 2);
        QCOMPARE(vexilo({QStringLiteral("list"), QStringLiteral("--tag"), QStringLiteral("Work")}).out.count(u'\n'), 1);
        QCOMPARE(vexilo({QStringLiteral("untag"), newer, QStringLiteral("Work")}).exitCode, 0);
        QCOMPARE(vexilo({QStringLiteral("list"), QStringLiteral("--tag"), QStringLiteral("Work")}).out, QString());
        QCOMPARE(vexilo({QStringLiteral("unpin"), older}).exitCode, 0);
        QCOMPARE(vexilo({QStringLiteral("delete"), newer}).exitCode, 0);
        QCOMPARE(vexilo({QStringLiteral("list")}).out.count(u'\n'), 1);
    }

    void listFilters()
    {
        add(QStringLiteral("https://example.com"));
        add(QStringLiteral("plain words"));
        add(QStringLiteral("more plain words"));
        QCOMPARE(
            vexilo({QStringLiteral("list"), QStringLiteral("--category"), QStringLiteral("links")}).out.count(u'\n'),
            1);
        QCOMPARE(vexilo({QStringLiteral("list"), QStringLiteral("--search"), QStringLiteral("PLAIN")}).out.count(u'\n'),
                 2);
        QCOMPARE(vexilo({QStringLiteral("list"), QStringLiteral("--limit=1")}).out.count(u'\n'), 1);
        const Run none = vexilo({QStringLiteral("list"), QStringLiteral("--search"), QStringLiteral("zzz")});
        QCOMPARE(none.exitCode, 0);
        QCOMPARE(none.err, QStringLiteral("No clips match.\n"));
        QCOMPARE(vexilo({QStringLiteral("list"), QStringLiteral("--category"), QStringLiteral("Colours")}).exitCode, 2);
        const Run json = vexilo({QStringLiteral("list"), QStringLiteral("--json"), QStringLiteral("--category"),
                                 QStringLiteral("Snippets")});
        const QJsonArray array = QJsonDocument::fromJson(json.out.toUtf8()).array();
        QCOMPARE(array.size(), 2);
        QCOMPARE(array.at(0).toObject().value(u"snippetShortcut").toString(), QStringLiteral(";reply"));
    }

    void transforms()
    {
        const QString id = add(QStringLiteral("hello world"));
        const Run encoded = vexilo({QStringLiteral("transform"), QStringLiteral("base64Encoded"), id});
        QCOMPARE(encoded.out, QStringLiteral("aGVsbG8gd29ybGQ=\n"));
        QCOMPARE(vexilo({QStringLiteral("transform"), QStringLiteral("UPPERCASE"), id}).out,
                 QStringLiteral("HELLO WORLD\n"));
        QCOMPARE(vexilo({QStringLiteral("transform"), QStringLiteral("shout"), id}).exitCode, 2);
        const Run invalid = vexilo({QStringLiteral("transform"), QStringLiteral("base64Decoded"), id});
        QCOMPARE(invalid.exitCode, 3);
        QVERIFY(invalid.err.contains(QStringLiteral("Not a valid Base64 string")));
    }

    void snippetsAndClearing()
    {
        const Run created = vexilo({QStringLiteral("snippet"), QStringLiteral("add"), QStringLiteral("--title"),
                                    QStringLiteral("Sig"), QStringLiteral("--shortcut"), QStringLiteral(";sig"),
                                    QStringLiteral("--tags"), QStringLiteral("#a, b,,")},
                                   "Best,\nMe");
        QCOMPARE(created.exitCode, 0);
        const ClipItem snippet = history().first();
        QCOMPARE(snippet.snippetTitle(), QStringLiteral("Sig"));
        QCOMPARE(snippet.textContent(), QStringLiteral("Best,\nMe"));
        QCOMPARE(snippet.tags(), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
        QCOMPARE(vexilo({QStringLiteral("snippet"), QStringLiteral("add"), QStringLiteral("x")}).exitCode, 1);
        const QString pinned = add(QStringLiteral("keep me"));
        vexilo({QStringLiteral("pin"), pinned});
        add(QStringLiteral("drop me"));
        QCOMPARE(vexilo({QStringLiteral("clear")}).out, QStringLiteral("Removed 1 clips.\n"));
        QCOMPARE(vexilo({QStringLiteral("clear"), QStringLiteral("--all")}).out, QStringLiteral("Removed 1 clips.\n"));
        QCOMPARE(history().size(), 3); // the snippets stay
    }

    void filesAndImages()
    {
        QTemporaryDir files;
        QFile a(files.path() + QStringLiteral("/a.txt"));
        QVERIFY(a.open(QIODevice::WriteOnly));
        a.close();
        QCOMPARE(vexilo({QStringLiteral("add-files"), a.fileName(), files.path()}).exitCode, 0);
        QCOMPARE(history().first().filePaths(), (QStringList{a.fileName(), files.path()}));
        QVERIFY(vexilo({QStringLiteral("list")}).out.contains(QStringLiteral("FILE  a.txt (+1 files)")));

        QImage image(64, 32, QImage::Format_RGB32);
        image.fill(Qt::red);
        const QString png = files.path() + QStringLiteral("/pic.png");
        QVERIFY(image.save(png));
        QCOMPARE(vexilo({QStringLiteral("add-image"), png}).exitCode, 0);
        const ClipItem clip = history().first();
        QCOMPARE(clip.imageWidth(), std::optional<int>(64));
        QVERIFY(QFile::exists(m_data + QStringLiteral("/images/") + clip.imageFileName()));
    }

    void exports()
    {
        add(QStringLiteral("exported"));
        const QString json = m_root.path() + QStringLiteral("/e.json");
        const Run run = vexilo({QStringLiteral("export"), QStringLiteral("json"), json});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, json + u'\n');
        QFile file(json);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QJsonDocument::fromJson(file.readAll()).array().size(), 3);
        const QString md = m_root.path() + QStringLiteral("/e.md");
        QCOMPARE(vexilo({QStringLiteral("export"), QStringLiteral("markdown"), md}).exitCode, 0);
        QVERIFY(QFile::exists(md));
        QCOMPARE(vexilo({QStringLiteral("export"), QStringLiteral("pdf"), md}).exitCode, 1);
        const Run failed =
            vexilo({QStringLiteral("export"), QStringLiteral("json"), QStringLiteral("/no/such/dir/x.json")});
        QCOMPARE(failed.exitCode, 2);
        QVERIFY(failed.err.contains(QStringLiteral("Export failed: ")));
    }

    void usage_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("unknown command") << QStringList{QStringLiteral("frobnicate")} << 1;
        QTest::newRow("unknown option") << QStringList{QStringLiteral("list"), QStringLiteral("--colour")} << 1;
        QTest::newRow("missing argument") << QStringList{QStringLiteral("pin")} << 1;
        QTest::newRow("too many") << QStringList{QStringLiteral("delete"), QStringLiteral("a"), QStringLiteral("b")}
                                  << 1;
        QTest::newRow("bad limit") << QStringList{QStringLiteral("list"), QStringLiteral("--limit"),
                                                  QStringLiteral("x")}
                                   << 1;
    }

    void usage()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        const Run run = vexilo(arguments);
        QCOMPARE(run.exitCode, exitCode);
        QCOMPARE(run.out, QString());
        QVERIFY(run.err.contains(QStringLiteral("Usage: vexilo")));
    }

    void withoutACommandItIsTheApplication()
    {
        // With no display at all it says so instead of starting.
        QProcess process;
        QProcessEnvironment env = environment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QLatin1StringView(name));
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(VEXILO_BINARY), {QStringLiteral("--data-dir"), m_data});
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitCode(), 1);
        QVERIFY(process.readAllStandardError().contains("no display"));
    }

    void help()
    {
        const Run all = vexilo({QStringLiteral("--help")}, {}, false);
        QCOMPARE(all.exitCode, 0);
        QVERIFY(all.out.contains(QStringLiteral("snippet add --title T")));
        const Run one = vexilo({QStringLiteral("transform"), QStringLiteral("--help")});
        QCOMPARE(one.exitCode, 0);
        QVERIFY(one.out.startsWith(QStringLiteral("Usage: vexilo transform MODE ID")));
        QVERIFY(!QFile::exists(m_data)); // help opens no store
    }

    void lockedHistory()
    {
        StorageLock lock(m_data);
        QVERIFY(lock.tryLock());
        const Run run = vexilo({QStringLiteral("list")});
        QCOMPARE(run.exitCode, 4);
        QVERIFY(run.err.contains(QStringLiteral("in use by process")));
    }

    void lockOfAKilledProcessIsTakenOver()
    {
        QProcess holder;
        // This test program itself, holding the lock until it is killed.
        holder.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--hold-lock"), m_data});
        QVERIFY(holder.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_data + QStringLiteral("/vexilo.lock")), 10000);
        QCOMPARE(vexilo({QStringLiteral("list")}).exitCode, 4);
        holder.kill();
        holder.waitForFinished();
        QCOMPARE(vexilo({QStringLiteral("list")}).exitCode, 0);
    }

    void logLinesStayOffStandardOutput()
    {
        QDir().mkpath(m_data);
        QFile file(m_data + QStringLiteral("/history.json"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[{\"broken\"");
        file.close();
        const Run run = vexilo({QStringLiteral("list")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QString());
        QVERIFY(run.err.contains(QStringLiteral("Failed to load clipboard history: ")));
        QCOMPARE(QDir(m_data).entryList({QStringLiteral("history.json.corrupt-*")}).size(), 1);
    }

    // A history that exists but cannot be read is never treated as empty, and never written over.
    void anUnreadableHistoryIsLeftAlone_data()
    {
        QTest::addColumn<bool>("otherUser");
        QTest::newRow("a folder in its place") << false;
        QTest::newRow("another user's file") << true;
    }

    void anUnreadableHistoryIsLeftAlone()
    {
        QFETCH(bool, otherUser);
        if (otherUser && ::geteuid() != 0)
            QSKIP("Running the client as another user needs root.");
        // Folders anyone may write in, so that only the history file itself stands in the way.
        QTemporaryDir open(QStringLiteral("/tmp/vexilo-cli-XXXXXX"));
        QVERIFY(QFile::setPermissions(open.path(), QFile::Permissions(0x7777)));
        m_data = open.path() + QStringLiteral("/data");
        const QString history = m_data + QStringLiteral("/history.json");
        QVERIFY(QDir().mkpath(m_data));
        QVERIFY(QFile::setPermissions(m_data, QFile::Permissions(0x7777)));
        if (otherUser) {
            QVERIFY(QFile(history).open(QIODevice::WriteOnly));
            add(QStringLiteral("root's clip"));
            QVERIFY(QFile::setPermissions(history, QFile::ReadOwner | QFile::WriteOwner));
        } else {
            QVERIFY(QDir().mkpath(history));
        }
        const QStringList before = QDir(m_data).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        const QByteArray bytes = otherUser ? readAll(history) : QByteArray();
        for (const QStringList &command :
             {QStringList{QStringLiteral("list")}, QStringList{QStringLiteral("add"), QStringLiteral("x")}}) {
            QProcess process;
            QProcessEnvironment env = environment();
            env.insert(QStringLiteral("XDG_CONFIG_HOME"), open.path());
            env.insert(QStringLiteral("HOME"), open.path());
            process.setProcessEnvironment(env);
            const QStringList arguments = QStringList{QStringLiteral("--data-dir"), m_data} + command;
            if (otherUser)
                process.start(QStringLiteral("setpriv"),
                              QStringList{QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                                          QStringLiteral("--clear-groups"), QStringLiteral(VEXILO_BINARY)} +
                                  arguments);
            else
                process.start(QStringLiteral(VEXILO_BINARY), arguments);
            QVERIFY(process.waitForFinished(30000));
            const QString err = QString::fromUtf8(process.readAllStandardError());
            QCOMPARE(process.exitCode(), 2);
            QCOMPARE(
                err,
                QStringLiteral("vexilo: cannot read the history file %1: %2\n")
                    .arg(history, otherUser ? QStringLiteral("Permission denied") : QStringLiteral("Is a directory")));
        }
        QCOMPARE(QDir(m_data).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), before);
        if (otherUser)
            QCOMPARE(readAll(history), bytes);
    }

    // A title is cut to the width of the terminal (80 columns when the output is none); show keeps it.
    void listLinesFitTheTerminal()
    {
        const QString longLine = QStringLiteral("word ").repeated(4000);
        add(longLine);
        add(QStringLiteral("\u6F22\u5B57").repeated(100));
        const QStringList lines = vexilo({QStringLiteral("list")}).out.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        // The newest, in wide characters: two columns each.
        QVERIFY(lines.at(0).endsWith(u'\u2026'));
        QVERIFY(lines.at(0).size() <= 80 - 29);
        QVERIFY(lines.at(1).endsWith(u'\u2026'));
        QCOMPARE(lines.at(1).size(), 80);
        QVERIFY(vexilo({QStringLiteral("show"), lines.at(1).mid(3, 8)}).out.contains(longLine));
    }

    void defaultFolderIsTheUsersDataFolder()
    {
        const Run run = vexilo({QStringLiteral("add"), QStringLiteral("to the real place")}, {}, false);
        QCOMPARE(run.exitCode, 0);
        QVERIFY(QFile::exists(m_root.path() + QStringLiteral("/share/Vexilo/history.json")));
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--hold-lock") == 0) {
        StorageLock lock(QString::fromLocal8Bit(argv[2]));
        if (!lock.tryLock())
            return 1;
        QThread::sleep(60); // killed long before
        return 0;
    }
    TestCli test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_cli.moc"
