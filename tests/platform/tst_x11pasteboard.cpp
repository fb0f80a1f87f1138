// SPDX-License-Identifier: MIT
#include "X11Pasteboard.h"
#include "XTestMain.h"

#include <QClipboard>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMimeData>
#include <QPainter>
#include <QSignalSpy>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <unistd.h>

using namespace Vexilo;
using namespace Qt::StringLiterals;

namespace {

constexpr int processTimeoutMs = 10000;

// Started as a separate process of this binary: offers every format/value pair of its arguments on
// the clipboard, prints "ready", and quits when its standard input closes.
int serveClipboard(int argc, char **argv)
{
    auto *data = new QMimeData;
    for (int i = 2; i + 1 < argc; i += 2)
        data->setData(QString::fromUtf8(argv[i]), QByteArray(argv[i + 1]));
    QGuiApplication app(argc, argv);
    QGuiApplication::clipboard()->setMimeData(data, QClipboard::Clipboard);
    if (!QGuiApplication::clipboard()->ownsClipboard())
        return 2;
    std::puts("ready");
    std::fflush(stdout);
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&app] {
        char buffer[64];
        if (::read(STDIN_FILENO, buffer, sizeof buffer) <= 0)
            app.quit();
    });
    QTimer::singleShot(60000, &app, &QCoreApplication::quit);
    return app.exec();
}

QImage testImage()
{
    QImage image(64, 32, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.fillRect(0, 0, 32, 32, QColor(200, 30, 40));
    painter.fillRect(32, 16, 32, 16, QColor(20, 90, 210));
    return image;
}

void compareToTestImage(const QImage &image)
{
    QCOMPARE(image.size(), QSize(64, 32));
    QCOMPARE(QColor(image.pixel(5, 5)), QColor(200, 30, 40));
    QCOMPARE(QColor(image.pixel(40, 20)), QColor(20, 90, 210));
    QCOMPARE(QColor(image.pixel(40, 5)), QColor(Qt::white));
}

} // namespace

class TestX11Pasteboard : public QObject
{
    Q_OBJECT

private:
    Test::XSession &session() { return Test::currentXSession(); }

    // Copies with xclip, which keeps serving in the background until someone else copies.
    bool copyWithXclip(const QString &target, const QByteArray &bytes, const QString &selection = u"clipboard"_s)
    {
        int exitCode = -1;
        session().run(u"xclip"_s, {u"-selection"_s, selection, u"-t"_s, target, u"-i"_s}, bytes, processTimeoutMs,
                      &exitCode);
        return exitCode == 0;
    }

    // Reads the clipboard with xclip while this process keeps running its event loop, since it may be
    // the owner that has to answer.
    std::optional<QByteArray> readWithXclip(const QString &target)
    {
        QProcess xclip;
        xclip.setProcessEnvironment(session().environment());
        QEventLoop loop;
        connect(&xclip, &QProcess::finished, &loop, &QEventLoop::quit);
        connect(&xclip, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
        QTimer::singleShot(processTimeoutMs, &loop, &QEventLoop::quit);
        xclip.start(u"xclip"_s, {u"-selection"_s, u"clipboard"_s, u"-o"_s, u"-t"_s, target});
        loop.exec();
        if (xclip.state() != QProcess::NotRunning) {
            xclip.kill();
            xclip.waitForFinished(2000);
            return std::nullopt;
        }
        if (xclip.exitStatus() != QProcess::NormalExit || xclip.exitCode() != 0)
            return std::nullopt;
        return xclip.readAllStandardOutput();
    }

    std::unique_ptr<QProcess> startOwner(const QStringList &formatsAndValues)
    {
        auto owner = std::make_unique<QProcess>();
        owner->setProcessEnvironment(session().environment());
        owner->setProcessChannelMode(QProcess::SeparateChannels);
        owner->start(QCoreApplication::applicationFilePath(), QStringList{u"--serve-clipboard"_s} + formatsAndValues);
        if (!owner->waitForStarted(processTimeoutMs))
            return nullptr;
        while (!owner->canReadLine()) {
            if (!owner->waitForReadyRead(processTimeoutMs))
                return nullptr;
        }
        if (owner->readLine().trimmed() != "ready")
            return nullptr;
        return owner;
    }

    static void stopOwner(QProcess &owner)
    {
        owner.closeWriteChannel();
        if (!owner.waitForFinished(processTimeoutMs)) {
            owner.kill();
            owner.waitForFinished(2000);
        }
    }

private Q_SLOTS:
    void selectionTargetsAreRecognised()
    {
        // X target names are upper case without a slash; MIME types and marker types never are.
        for (const QString &type : {u"TARGETS"_s, u"SAVE_TARGETS"_s, u"UTF8_STRING"_s, u"COMPOUND_TEXT"_s})
            QVERIFY2(X11Pasteboard::isSelectionTarget(type), qPrintable(type));
        for (const QString &type : {u"text/plain"_s, u"x-kde-passwordManagerHint"_s,
                                    u"org.nspasteboard.ConcealedType"_s, u"TEXT/PLAIN"_s, QString()})
            QVERIFY2(!X11Pasteboard::isSelectionTarget(type), qPrintable(type));
    }

    void readsForeignCopies_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<std::optional<QString>>("string");
        QTest::addColumn<QStringList>("fileUrlPaths");
        QTest::addColumn<std::optional<QStringList>>("legacyFileNames");
        const auto text = [](const char *name, const QString &target, const QString &value) {
            QTest::newRow(name) << target << value.toUtf8() << std::optional(value) << QStringList()
                                << std::optional<QStringList>();
        };
        const auto files = [](const char *name, const QString &target, const QByteArray &bytes,
                              const QStringList &paths) {
            const bool legacy = target.startsWith(u"x-special/");
            QTest::newRow(name) << target << bytes << std::optional<QString>() << (legacy ? QStringList() : paths)
                                << (legacy ? std::optional(paths) : std::nullopt);
        };

        // Text comes back as it was copied, as UTF-8.
        text("UTF-8 text", u"UTF8_STRING"_s, u"Grüße, ✓ clip\n  second line "_s);
        text("text/plain", u"text/plain"_s, u"plain € text"_s);
        // File URLs only, in order, percent-decoded; other URLs and comments are skipped.
        files("uri list", u"text/uri-list"_s, "file:///tmp/a%20b.txt\r\nfile:///tmp/%C3%BC.png\r\n",
              {u"/tmp/a b.txt"_s, u"/tmp/ü.png"_s});
        files("uri list with a web link", u"text/uri-list"_s,
              "# comment\nhttps://example.org/x.txt\nfile:///srv/data/report.pdf\n", {u"/srv/data/report.pdf"_s});
        // The file managers' own list: an action line, then one URI a line.
        files("gnome copied files", u"x-special/gnome-copied-files"_s, "copy\nfile:///tmp/a%20b.txt\nfile:///tmp/c.txt",
              {u"/tmp/a b.txt"_s, u"/tmp/c.txt"_s});
        files("gnome cut files", u"x-special/gnome-copied-files"_s, "cut\nfile:///home/user/notes.md\n",
              {u"/home/user/notes.md"_s});
    }

    void readsForeignCopies()
    {
        QFETCH(QString, target);
        QFETCH(QByteArray, bytes);
        X11Pasteboard pasteboard(QGuiApplication::clipboard());
        QSignalSpy changed(&pasteboard, &Pasteboard::changed);
        const qint64 before = pasteboard.changeCount();
        QVERIFY(copyWithXclip(target, bytes));
        QTRY_VERIFY(pasteboard.changeCount() > before);
        QVERIFY(!changed.isEmpty());

        // The target's MIME type is listed; X's own target names are not.
        QCOMPARE(pasteboard.types(), QStringList{target.startsWith(u"UTF8") ? u"text/plain"_s : target});
        QTEST(pasteboard.string(), "string");
        QTEST(pasteboard.fileUrlPaths(), "fileUrlPaths");
        QTEST(pasteboard.legacyFileNames(), "legacyFileNames");
        QVERIFY(pasteboard.images().isEmpty());
    }

    void readsForeignImage()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"copy.png"_s);
        QVERIFY(testImage().save(path, "PNG"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        X11Pasteboard pasteboard(QGuiApplication::clipboard());
        const qint64 before = pasteboard.changeCount();
        QVERIFY(copyWithXclip(u"image/png"_s, file.readAll()));
        QTRY_VERIFY(pasteboard.changeCount() > before);

        QCOMPARE(pasteboard.types(), QStringList{u"image/png"_s});
        const QList<QImage> images = pasteboard.images();
        QCOMPARE(images.size(), 1);
        compareToTestImage(images.first());
        QVERIFY(!pasteboard.string());
        QVERIFY(pasteboard.fileUrlPaths().isEmpty());
    }

    void markerTypesAreListedWithTheText()
    {
        X11Pasteboard pasteboard(QGuiApplication::clipboard());
        const qint64 before = pasteboard.changeCount();
        auto owner = startOwner({u"text/plain"_s, u"visible text"_s, u"x-kde-passwordManagerHint"_s, u"secret"_s});
        QVERIFY(owner);
        QTRY_VERIFY(pasteboard.changeCount() > before);

        // Qt owners also offer MULTIPLE, TIMESTAMP and SAVE_TARGETS; none of them is a type.
        const QStringList types = pasteboard.types();
        QVERIFY2(types.contains(u"text/plain"_s), qPrintable(types.join(u',')));
        QVERIFY2(types.contains(u"x-kde-passwordManagerHint"_s), qPrintable(types.join(u',')));
        for (const QString &type : types)
            QVERIFY2(!X11Pasteboard::isSelectionTarget(type), qPrintable(type));
        QCOMPARE(pasteboard.string(), std::optional<QString>(u"visible text"_s));

        // When the owner quits, X clears the clipboard: a change with nothing in it.
        const qint64 whileOwned = pasteboard.changeCount();
        stopOwner(*owner);
        QTRY_VERIFY(pasteboard.changeCount() > whileOwned);
        QVERIFY(pasteboard.types().isEmpty());
        QVERIFY(!pasteboard.string());
        QVERIFY(pasteboard.images().isEmpty());
        QVERIFY(pasteboard.fileUrlPaths().isEmpty());
        QVERIFY(!pasteboard.legacyFileNames());
    }

    void primarySelectionIsIgnored()
    {
        X11Pasteboard pasteboard(QGuiApplication::clipboard());
        QVERIFY(copyWithXclip(u"UTF8_STRING"_s, "in the clipboard"));
        QTRY_COMPARE(pasteboard.changeCount(), 1);
        const qint64 before = pasteboard.changeCount();
        QSignalSpy changed(&pasteboard, &Pasteboard::changed);
        QSignalSpy qtChanged(QGuiApplication::clipboard(), &QClipboard::changed);

        QVERIFY(copyWithXclip(u"UTF8_STRING"_s, "only selected", u"primary"_s));
        // Qt did see the selection change; the pasteboard did not count it.
        QTRY_VERIFY(qtChanged.contains(QVariantList{QVariant::fromValue(QClipboard::Selection)}));
        QCOMPARE(pasteboard.changeCount(), before);
        QVERIFY(changed.isEmpty());
        QCOMPARE(pasteboard.string(), std::optional<QString>(u"in the clipboard"_s));
    }

    void writesAreServedToOtherClients_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("text") << u"text"_s;
        QTest::newRow("file URLs") << u"files"_s;
        QTest::newRow("image") << u"image"_s;
    }

    void writesAreServedToOtherClients()
    {
        QFETCH(QString, kind);
        X11Pasteboard pasteboard(QGuiApplication::clipboard());
        const QString text = u"Vexilo wrote ✓"_s;
        const QStringList paths{u"/tmp/one file.txt"_s, u"/tmp/zwei/ü.png"_s};
        QSignalSpy changed(&pasteboard, &Pasteboard::changed);
        const qint64 before = pasteboard.changeCount();
        if (kind == QLatin1String("text"))
            pasteboard.setString(text);
        else if (kind == QLatin1String("files"))
            pasteboard.writeFileUrls(paths);
        else
            pasteboard.writeImage(testImage());
        // One write, one change, counted at once so that the writer can acknowledge it.
        QCOMPARE(pasteboard.changeCount(), before + 1);
        QVERIFY(QGuiApplication::clipboard()->ownsClipboard());
        QTRY_COMPARE(changed.size(), 1);

        // Read twice by another client: ownership stays with this process after the first answer.
        for (int round = 0; round < 2; ++round) {
            if (kind == QLatin1String("text")) {
                QCOMPARE(readWithXclip(u"UTF8_STRING"_s), std::optional<QByteArray>(text.toUtf8()));
                QCOMPARE(pasteboard.string(), std::optional<QString>(text));
            } else if (kind == QLatin1String("files")) {
                const auto uriList = readWithXclip(u"text/uri-list"_s);
                QVERIFY(uriList);
                QCOMPARE(X11Pasteboard::localPathsFromUriList(*uriList), paths);
                const auto copiedFiles = readWithXclip(u"x-special/gnome-copied-files"_s);
                QCOMPARE(copiedFiles,
                         std::optional<QByteArray>("copy\nfile:///tmp/one%20file.txt\nfile:///tmp/zwei/%C3%BC.png"));
                QCOMPARE(readWithXclip(u"UTF8_STRING"_s), std::optional<QByteArray>(paths.join(u'\n').toUtf8()));
                QCOMPARE(pasteboard.fileUrlPaths(), paths);
                QCOMPARE(pasteboard.legacyFileNames(), std::optional<QStringList>(paths));
            } else {
                const auto png = readWithXclip(u"image/png"_s);
                QVERIFY(png);
                compareToTestImage(QImage::fromData(*png, "PNG"));
                QVERIFY(pasteboard.types().contains(u"image/png"_s));
                QCOMPARE(pasteboard.images().size(), 1);
            }
        }
        // Serving did not count as another change.
        QCOMPARE(pasteboard.changeCount(), before + 1);
        QCOMPARE(changed.size(), 1);

        // Someone else copying takes over.
        QVERIFY(copyWithXclip(u"UTF8_STRING"_s, "taken over"));
        QTRY_COMPARE(pasteboard.changeCount(), before + 2);
        QTRY_VERIFY(!QGuiApplication::clipboard()->ownsClipboard());
        QCOMPARE(pasteboard.string(), std::optional<QString>(u"taken over"_s));
    }

    void clearedContentsOfferNothing()
    {
        X11Pasteboard pasteboard(QGuiApplication::clipboard());
        pasteboard.setString(u"about to go"_s);
        const qint64 before = pasteboard.changeCount();
        pasteboard.clearContents();
        QCOMPARE(pasteboard.changeCount(), before + 1);
        QVERIFY(pasteboard.types().isEmpty());
        QVERIFY(!pasteboard.string());
        // Other clients see an owner that offers no data.
        const auto targets = readWithXclip(u"TARGETS"_s);
        QVERIFY(targets);
        for (const QByteArray &target : targets->trimmed().split('\n'))
            QVERIFY2(X11Pasteboard::isSelectionTarget(QString::fromLatin1(target)), target.constData());
        QCOMPARE(readWithXclip(u"UTF8_STRING"_s).value_or(QByteArray()), QByteArray());
        QCOMPARE(pasteboard.changeCount(), before + 1);
    }
};

int main(int argc, char **argv)
{
    // The same binary doubles as a clipboard owner with several formats, which xclip cannot offer.
    if (argc > 1 && qstrcmp(argv[1], "--serve-clipboard") == 0)
        return serveClipboard(argc, argv);
    return Vexilo::Test::runInXSession(argc, argv, []() -> QObject * { return new TestX11Pasteboard; });
}

#include "tst_x11pasteboard.moc"
