// SPDX-License-Identifier: MIT
#include "ClipJson.h"
#include "StorageLock.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace Vexilo;
using namespace Qt::StringLiterals;

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
    QString m_home; // holds the settings and the home folder
    QString m_data;

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"XDG_CONFIG_HOME"_s, m_home + u"/config"_s);
        env.insert(u"XDG_DATA_HOME"_s, m_home + u"/share"_s);
        env.insert(u"HOME"_s, m_home + u"/home"_s);
        return env;
    }

    // `vexilo --data-dir DATA ARGS`, as this user or as nobody.
    Run vexilo(const QStringList &arguments, const QByteArray &input = {}, bool asNobody = false)
    {
        QProcess process;
        process.setProcessEnvironment(environment());
        const QStringList command = QStringList{u"--data-dir"_s, m_data} + arguments;
        if (asNobody)
            process.start(u"setpriv"_s,
                          QStringList{u"--reuid=65534"_s, u"--regid=65534"_s, u"--clear-groups"_s,
                                      QStringLiteral(VEXILO_BINARY)} +
                              command);
        else
            process.start(QStringLiteral(VEXILO_BINARY), command);
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

    QString add(const QString &text) { return vexilo({u"add"_s, text}).out.trimmed(); }

    static QByteArray readAll(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QList<ClipItem> history() const { return ClipJson::decodeHistory(readAll(m_data + u"/history.json"_s)).items; }

    bool writeHistory(const QByteArray &bytes) const
    {
        QDir().mkpath(m_data);
        QFile file(m_data + u"/history.json"_s);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }

private Q_SLOTS:
    void init()
    {
        m_home = m_root.path();
        m_data = m_root.path() + u"/data-"_s + QString::number(QRandomGenerator::global()->generate());
    }

    void newHistoryIsEmpty()
    {
        const Run run = vexilo({u"list"_s});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QString());
        QCOMPARE(run.err, u"The history is empty.\n"_s);
        // The two default snippets were seeded and saved.
        QCOMPARE(history().size(), 2);
        QVERIFY(vexilo({u"snippets"_s}).out.contains(u";reply  Quick Email Reply"_s));
    }

    void addAndList()
    {
        const Run added = vexilo({u"add"_s, u"Hello, World"_s});
        QCOMPARE(added.exitCode, 0);
        QVERIFY(QRegularExpression(u"^[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}\\n$"_s).match(added.out).hasMatch());
        QCOMPARE(added.err, QString());
        add(u"https://example.com/page"_s);
        const Run list = vexilo({u"list"_s});
        QCOMPARE(list.exitCode, 0);
        const QStringList lines = list.out.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QVERIFY2(QRegularExpression(u"^1  [0-9A-F]{8}  URL   example\\.com$"_s).match(lines.at(0)).hasMatch(),
                 qPrintable(lines.at(0)));
        QCOMPARE(lines.at(1).mid(3, 8), added.out.left(8));
        QVERIFY(lines.at(1).endsWith(u"  TEXT  Hello, World"_s));
    }

    void addRefusals_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("duplicate") << QStringList{u"add"_s, u"same"_s} << QByteArray() << 3 << u"already holds"_s;
        QTest::newRow("blank") << QStringList{u"add"_s, u" \n "_s} << QByteArray() << 3 << u"empty"_s;
        QTest::newRow("blank stdin") << QStringList{u"add"_s} << QByteArray("\n\t") << 3 << u"empty"_s;
        QTest::newRow("unreadable image")
            << QStringList{u"add-image"_s, u"/nonexistent.png"_s} << QByteArray() << 2 << u"cannot read"_s;
        QTest::newRow("missing file") << QStringList{u"add-files"_s, u"/no/such/file"_s} << QByteArray() << 2
                                      << u"no such file"_s;
    }

    void addRefusals()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, input);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        add(u"same"_s);
        const Run run = vexilo(arguments, input);
        QCOMPARE(run.exitCode, exitCode);
        QCOMPARE(run.out, QString());
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
    }

    void addFromStandardInput()
    {
        const QByteArray text = "line one\nline two \xc3\xa9\n";
        QCOMPARE(vexilo({u"add"_s}, text).exitCode, 0);
        QCOMPARE(vexilo({u"add"_s, u"-"_s}, "dash input").exitCode, 0);
        const QList<ClipItem> items = history();
        QCOMPARE(items.at(0).textContent(), u"dash input"_s);
        QCOMPARE(items.at(1).textContent(), QString::fromUtf8(text)); // kept exactly, untrimmed
    }

    void largeStandardInputReachesTheStoreWhole()
    {
        // The front end reads standard input before it knows who carries the command out.
        QByteArray text;
        for (int i = 0; text.size() < 3 * 1024 * 1024; ++i)
            text += "Zeile " + QByteArray::number(i) + " \xe2\x82\xac \xf0\x9f\x93\x8b\n";
        QCOMPARE(vexilo({u"snippet"_s, u"add"_s, u"--title"_s, u"big"_s}, text).exitCode, 0);
        const QList<ClipItem> items = history();
        const auto big = std::find_if(items.cbegin(), items.cend(),
                                      [](const ClipItem &item) { return item.snippetTitle() == u"big"; });
        QVERIFY(big != items.cend());
        QCOMPARE(big->textContent(), QString::fromUtf8(text));
    }

    void idsAndPrefixes()
    {
        const QString id = add(u"find me"_s);
        QCOMPARE(vexilo({u"show"_s, id.toLower()}).exitCode, 0);
        const Run prefix = vexilo({u"show"_s, id.left(6).toLower()});
        QCOMPARE(prefix.exitCode, 0);
        QVERIFY(prefix.out.contains(u"find me"_s));
        QVERIFY(prefix.out.contains(u"Characters: 7"_s));
        const Run shortPrefix = vexilo({u"show"_s, id.left(5)});
        QCOMPARE(shortPrefix.exitCode, 2);
        QCOMPARE(vexilo({u"show"_s, u"00000000-0000-0000-0000-000000000001"_s}).exitCode, 2);
        const Run json = vexilo({u"show"_s, id, u"--json"_s});
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
        QVERIFY(writeHistory(ClipJson::encodeHistory(items)));
        const Run run = vexilo({u"delete"_s, u"abcdef"_s});
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.err.contains(u"matches 2 clips"_s));
        QCOMPARE(vexilo({u"delete"_s, u"abcdef02"_s}).exitCode, 0);
        QCOMPARE(history().size(), 3); // one left, plus the seeded snippets
    }

    void editing()
    {
        const QString older = add(u"older"_s);
        const QString newer = add(u"newer"_s);
        QCOMPARE(vexilo({u"pin"_s, older}).exitCode, 0);
        QVERIFY(vexilo({u"list"_s}).out.startsWith(u"1  "_s + older.left(8)));
        QCOMPARE(vexilo({u"pin"_s, older}).exitCode, 0); // already pinned: unchanged
        QVERIFY(history().at(1).isPinned()); // pinned where it stands; lists show it first
        QCOMPARE(vexilo({u"tag"_s, newer, u"#Work"_s}).exitCode, 0);
        QCOMPARE(vexilo({u"tag"_s, newer, u"# "_s}).exitCode, 2);
        QCOMPARE(vexilo({u"list"_s, u"--tag"_s, u"Work"_s}).out.count(u'\n'), 1);
        QCOMPARE(vexilo({u"untag"_s, newer, u"Work"_s}).exitCode, 0);
        QCOMPARE(vexilo({u"list"_s, u"--tag"_s, u"Work"_s}).out, QString());
        QCOMPARE(vexilo({u"unpin"_s, older}).exitCode, 0);
        QCOMPARE(vexilo({u"delete"_s, newer}).exitCode, 0);
        QCOMPARE(vexilo({u"list"_s}).out.count(u'\n'), 1);
    }

    void listFilters()
    {
        add(u"https://example.com"_s);
        add(u"plain words"_s);
        add(u"more plain words"_s);
        QCOMPARE(vexilo({u"list"_s, u"--category"_s, u"links"_s}).out.count(u'\n'), 1);
        QCOMPARE(vexilo({u"list"_s, u"--limit=1"_s}).out.count(u'\n'), 1);
        const Run none = vexilo({u"list"_s, u"--search"_s, u"zzz"_s});
        QCOMPARE(none.exitCode, 0);
        QCOMPARE(none.err, u"No clips match.\n"_s);
        QCOMPARE(vexilo({u"list"_s, u"--category"_s, u"Colours"_s}).exitCode, 2);
        const Run json = vexilo({u"list"_s, u"--json"_s, u"--category"_s, u"Snippets"_s});
        const QJsonArray array = QJsonDocument::fromJson(json.out.toUtf8()).array();
        QCOMPARE(array.size(), 2);
        QCOMPARE(array.at(0).toObject().value(u"snippetShortcut").toString(), u";reply"_s);
    }

    void transforms()
    {
        const QString id = add(u"hello world"_s);
        const Run encoded = vexilo({u"transform"_s, u"base64Encoded"_s, id});
        QCOMPARE(encoded.out, u"aGVsbG8gd29ybGQ=\n"_s);
        QCOMPARE(vexilo({u"transform"_s, u"UPPERCASE"_s, id}).out, u"HELLO WORLD\n"_s);
        QCOMPARE(vexilo({u"transform"_s, u"shout"_s, id}).exitCode, 2);
        const Run invalid = vexilo({u"transform"_s, u"base64Decoded"_s, id});
        QCOMPARE(invalid.exitCode, 3);
        QVERIFY(invalid.err.contains(u"Not a valid Base64 string"_s));
    }

    void snippetsAndClearing()
    {
        const Run created = vexilo(
            {u"snippet"_s, u"add"_s, u"--title"_s, u"Sig"_s, u"--shortcut"_s, u";sig"_s, u"--tags"_s, u"#a, b,,"_s},
            "Best,\nMe");
        QCOMPARE(created.exitCode, 0);
        const ClipItem snippet = history().first();
        QCOMPARE(snippet.snippetTitle(), u"Sig"_s);
        QCOMPARE(snippet.textContent(), u"Best,\nMe"_s);
        QCOMPARE(snippet.tags(), (QStringList{u"a"_s, u"b"_s}));
        QCOMPARE(vexilo({u"snippet"_s, u"add"_s, u"x"_s}).exitCode, 1);
        const QString pinned = add(u"keep me"_s);
        vexilo({u"pin"_s, pinned});
        add(u"drop me"_s);
        QCOMPARE(vexilo({u"clear"_s}).out, u"Removed 1 clips.\n"_s);
        QCOMPARE(vexilo({u"clear"_s, u"--all"_s}).out, u"Removed 1 clips.\n"_s);
        QCOMPARE(history().size(), 3); // the snippets stay
    }

    void files()
    {
        QTemporaryDir files;
        QFile a(files.path() + u"/a.txt"_s);
        QVERIFY(a.open(QIODevice::WriteOnly));
        a.close();
        QCOMPARE(vexilo({u"add-files"_s, a.fileName(), files.path()}).exitCode, 0);
        QCOMPARE(history().first().filePaths(), (QStringList{a.fileName(), files.path()}));
        QVERIFY(vexilo({u"list"_s}).out.contains(u"FILE  a.txt (+1 files)"_s));
    }

    void exports()
    {
        add(u"exported"_s);
        const QString json = m_root.path() + u"/e.json"_s;
        const Run run = vexilo({u"export"_s, u"json"_s, json});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, json + u'\n');
        QFile file(json);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QJsonDocument::fromJson(file.readAll()).array().size(), 3);
        const QString md = m_root.path() + u"/e.md"_s;
        QCOMPARE(vexilo({u"export"_s, u"markdown"_s, md}).exitCode, 0);
        QVERIFY(QFile::exists(md));
        QCOMPARE(vexilo({u"export"_s, u"pdf"_s, md}).exitCode, 1);
        const Run failed = vexilo({u"export"_s, u"json"_s, u"/no/such/dir/x.json"_s});
        QCOMPARE(failed.exitCode, 2);
        QVERIFY(failed.err.contains(u"Export failed: "_s));
    }

    void usage_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("unknown command") << QStringList{u"frobnicate"_s} << 1;
        QTest::newRow("unknown option") << QStringList{u"list"_s, u"--colour"_s} << 1;
        QTest::newRow("missing argument") << QStringList{u"pin"_s} << 1;
        QTest::newRow("too many") << QStringList{u"delete"_s, u"a"_s, u"b"_s} << 1;
        QTest::newRow("bad limit") << QStringList{u"list"_s, u"--limit"_s, u"x"_s} << 1;
    }

    void usage()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        const Run run = vexilo(arguments);
        QCOMPARE(run.exitCode, exitCode);
        QCOMPARE(run.out, QString());
        QVERIFY(run.err.contains(u"Usage: vexilo"_s));
    }

    void withoutACommandItIsTheApplication()
    {
        // With no display at all it says so instead of starting.
        QProcess process;
        QProcessEnvironment env = environment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QLatin1StringView(name));
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(VEXILO_BINARY), {u"--data-dir"_s, m_data});
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitCode(), 1);
        QVERIFY(process.readAllStandardError().contains("no display"));
    }

    void help()
    {
        const Run all = vexilo({u"--help"_s});
        QCOMPARE(all.exitCode, 0);
        QVERIFY(all.out.contains(u"snippet add --title T"_s));
        // The man page is made of this text: options and exit codes are in it.
        for (const QString &part : {u"--data-dir DIR"_s, u"--version"_s, u"Exit status:\n"_s, u"  4  the history"_s})
            QVERIFY2(all.out.contains(part), qPrintable(part));
        const Run one = vexilo({u"transform"_s, u"--help"_s});
        QCOMPARE(one.exitCode, 0);
        QVERIFY(one.out.startsWith(u"Usage: vexilo transform MODE ID"_s));
        QVERIFY(!QFile::exists(m_data)); // help opens no store
    }

    void version()
    {
        const Run run = vexilo({u"--version"_s});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, u"vexilo " VEXILO_VERSION "\n"_s);
        QVERIFY(!QFile::exists(m_data)); // opens no store and starts no application
        // The full program answers the same.
        QProcess app;
        app.start(QStringLiteral(VEXILO_APP_BINARY), {u"--version"_s});
        QVERIFY(app.waitForFinished(30000));
        QCOMPARE(app.readAllStandardOutput(), QByteArray("vexilo " VEXILO_VERSION "\n"));
    }

    // Whole ids and one-line titles, for shell completion; filters apply as to the plain list.
    void listIds()
    {
        const QString first = add(u"first\tline\nsecond line"_s);
        const QString second = add(u"https://example.com/page"_s);
        QCOMPARE(vexilo({u"pin"_s, first}).exitCode, 0);
        const Run run = vexilo({u"list"_s, u"--ids"_s});
        QCOMPARE(run.exitCode, 0);
        // The title is the one the history window shows: one line, without the clip's own tabs.
        QCOMPARE(run.out, first + u"\tfirst line\n"_s + second + u"\texample.com\n"_s);
        QCOMPARE(vexilo({u"list"_s, u"--ids"_s, u"--category"_s, u"Links"_s}).out, second + u"\texample.com\n"_s);
        QCOMPARE(vexilo({u"list"_s, u"--ids"_s, u"--search"_s, u"nothing like it"_s}).out, QString());
    }

    void lockedHistory()
    {
        StorageLock lock(m_data);
        QVERIFY(lock.tryLock());
        const Run run = vexilo({u"list"_s});
        QCOMPARE(run.exitCode, 4);
        QVERIFY(run.err.contains(u"in use by process"_s));
    }

    void logLinesStayOffStandardOutput()
    {
        QVERIFY(writeHistory("[{\"broken\""));
        const Run run = vexilo({u"list"_s});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QString());
        QVERIFY(run.err.contains(u"Failed to load clipboard history: "_s));
        QCOMPARE(QDir(m_data).entryList({u"history.json.corrupt-*"_s}).size(), 1);
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
        QTemporaryDir open(u"/tmp/vexilo-cli-XXXXXX"_s);
        QVERIFY(QFile::setPermissions(open.path(), QFile::Permissions(0x7777)));
        m_data = open.path() + u"/data"_s;
        const QString history = m_data + u"/history.json"_s;
        QVERIFY(QDir().mkpath(m_data));
        QVERIFY(QFile::setPermissions(m_data, QFile::Permissions(0x7777)));
        if (otherUser) {
            QVERIFY(QFile(history).open(QIODevice::WriteOnly));
            add(u"root's clip"_s);
            QVERIFY(QFile::setPermissions(history, QFile::ReadOwner | QFile::WriteOwner));
        } else {
            QVERIFY(QDir().mkpath(history));
        }
        const QStringList before = QDir(m_data).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        const QByteArray bytes = otherUser ? readAll(history) : QByteArray();
        m_home = open.path();
        for (const QStringList &command : {QStringList{u"list"_s}, QStringList{u"add"_s, u"x"_s}}) {
            const Run run = vexilo(command, {}, otherUser);
            QCOMPARE(run.exitCode, 2);
            QCOMPARE(run.err,
                     u"vexilo: cannot read the history file %1: %2\n"_s.arg(
                         history, otherUser ? u"Permission denied"_s : u"Is a directory"_s));
        }
        QCOMPARE(QDir(m_data).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), before);
        if (otherUser)
            QCOMPARE(readAll(history), bytes);
    }

    // A title is cut to the width of the terminal (80 columns when the output is none); show keeps it.
    void listLinesFitTheTerminal()
    {
        const QString longLine = u"word "_s.repeated(4000);
        add(longLine);
        add(u"\u6F22\u5B57"_s.repeated(100));
        const QStringList lines = vexilo({u"list"_s}).out.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        // The newest, in wide characters: two columns each.
        QVERIFY(lines.at(0).endsWith(u'\u2026'));
        QVERIFY(lines.at(0).size() <= 80 - 29);
        QVERIFY(lines.at(1).endsWith(u'\u2026'));
        QCOMPARE(lines.at(1).size(), 80);
        QVERIFY(vexilo({u"show"_s, lines.at(1).mid(3, 8)}).out.contains(longLine));
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
