// SPDX-License-Identifier: MIT
#include "X11Pasteboard.h"
#include "XTestMain.h"

#include <QBuffer>
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
    bool copyWithXclip(const QString &target, const QByteArray &bytes,
                       const QString &selection = QStringLiteral("clipboard"))
    {
        int exitCode = -1;
        session().run(QStringLiteral("xclip"),
                      {QStringLiteral("-selection"), selection, QStringLiteral("-t"), target, QStringLiteral("-i")},
                      bytes, processTimeoutMs, &exitCode);
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
        xclip.start(QStringLiteral("xclip"),
                    {QStringLiteral("-selection"), QStringLiteral("clipboard"), QStringLiteral("-o"),
                     QStringLiteral("-t"), target});
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
        owner->start(QCoreApplication::applicationFilePath(),
                     QStringList{QStringLiteral("--serve-clipboard")} + formatsAndValues);
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
    void selectionTargetsAreRecognised_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<bool>("target");

        // X target names are upper case without a slash; MIME types and marker types never are.
        QTest::newRow("TARGETS") << QStringLiteral("TARGETS") << true;
        QTest::newRow("SAVE_TARGETS") << QStringLiteral("SAVE_TARGETS") << true;
        QTest::newRow("UTF8_STRING") << QStringLiteral("UTF8_STRING") << true;
        QTest::newRow("COMPOUND_TEXT") << QStringLiteral("COMPOUND_TEXT") << true;
        QTest::newRow("text/plain") << QStringLiteral("text/plain") << false;
        QTest::newRow("password hint") << QStringLiteral("x-kde-passwordManagerHint") << false;
        QTest::newRow("concealed marker") << QStringLiteral("org.nspasteboard.ConcealedType") << false;
        QTest::newRow("upper-case MIME type") << QStringLiteral("TEXT/PLAIN") << false;
        QTest::newRow("empty") << QString() << false;
    }

    void selectionTargetsAreRecognised()
    {
        QFETCH(QString, type);
        QTEST(X11Pasteboard::isSelectionTarget(type), "target");
    }

    void readsForeignCopies_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("types");
        QTest::addColumn<bool>("hasString");
        QTest::addColumn<QString>("string");
        QTest::addColumn<QStringList>("fileUrlPaths");
        QTest::addColumn<bool>("hasLegacyFileNames");
        QTest::addColumn<QStringList>("legacyFileNames");

        const QString utf8Text = QStringLiteral("Grüße, ✓ clip\n  second line ");
        // Text comes back as it was copied, as UTF-8.
        QTest::newRow("UTF-8 text") << QStringLiteral("UTF8_STRING") << utf8Text.toUtf8()
                                    << QStringList{QStringLiteral("text/plain")} << true << utf8Text << QStringList()
                                    << false << QStringList();
        QTest::newRow("text/plain") << QStringLiteral("text/plain") << QByteArray("plain € text")
                                    << QStringList{QStringLiteral("text/plain")} << true
                                    << QStringLiteral("plain € text") << QStringList() << false << QStringList();
        // File URLs only, in order, percent-decoded; other URLs and comments are skipped.
        QTest::newRow("uri list") << QStringLiteral("text/uri-list")
                                  << QByteArray("file:///tmp/a%20b.txt\r\nfile:///tmp/%C3%BC.png\r\n")
                                  << QStringList{QStringLiteral("text/uri-list")} << false << QString()
                                  << QStringList{QStringLiteral("/tmp/a b.txt"), QStringLiteral("/tmp/ü.png")} << false
                                  << QStringList();
        QTest::newRow("uri list with a web link")
            << QStringLiteral("text/uri-list")
            << QByteArray("# comment\nhttps://example.org/x.txt\nfile:///srv/data/report.pdf\n")
            << QStringList{QStringLiteral("text/uri-list")} << false << QString()
            << QStringList{QStringLiteral("/srv/data/report.pdf")} << false << QStringList();
        // The file managers' own list: an action line, then one URI a line.
        QTest::newRow("gnome copied files")
            << QStringLiteral("x-special/gnome-copied-files")
            << QByteArray("copy\nfile:///tmp/a%20b.txt\nfile:///tmp/c.txt")
            << QStringList{QStringLiteral("x-special/gnome-copied-files")} << false << QString() << QStringList()
            << true << QStringList{QStringLiteral("/tmp/a b.txt"), QStringLiteral("/tmp/c.txt")};
        QTest::newRow("gnome cut files") << QStringLiteral("x-special/gnome-copied-files")
                                         << QByteArray("cut\nfile:///home/user/notes.md\n")
                                         << QStringList{QStringLiteral("x-special/gnome-copied-files")} << false
                                         << QString() << QStringList() << true
                                         << QStringList{QStringLiteral("/home/user/notes.md")};
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

        QTEST(pasteboard.types(), "types");
        const auto string = pasteboard.string();
        QTEST(string.has_value(), "hasString");
        QTEST(string.value_or(QString()), "string");
        QTEST(pasteboard.fileUrlPaths(), "fileUrlPaths");
        const auto legacy = pasteboard.legacyFileNames();
        QTEST(legacy.has_value(), "hasLegacyFileNames");
        QTEST(legacy.value_or(QStringList()), "legacyFileNames");
        QVERIFY(pasteboard.images().isEmpty());
    }

    void readsForeignImage()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("copy.png"));
        QVERIFY(testImage().save(path, "PNG"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        X11Pasteboard pasteboard(QGuiApplication::clipboard());
        const qint64 before = pasteboard.changeCount();
        QVERIFY(copyWithXclip(QStringLiteral("image/png"), file.readAll()));
        QTRY_VERIFY(pasteboard.changeCount() > before);

        QCOMPARE(pasteboard.types(), QStringList{QStringLiteral("image/png")});
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
        auto owner = startOwner({QStringLiteral("text/plain"), QStringLiteral("visible text"),
                                 QStringLiteral("x-kde-passwordManagerHint"), QStringLiteral("secret")});
        QVERIFY(owner);
        QTRY_VERIFY(pasteboard.changeCount() > before);

        // Qt owners also offer MULTIPLE, TIMESTAMP and SAVE_TARGETS; none of them is a type.
        const QStringList types = pasteboard.types();
        QVERIFY2(types.contains(QStringLiteral("text/plain")), qPrintable(types.join(u',')));
        QVERIFY2(types.contains(QStringLiteral("x-kde-passwordManagerHint")), qPrintable(types.join(u',')));
        for (const QString &type : types)
            QVERIFY2(!X11Pasteboard::isSelectionTarget(type), qPrintable(type));
        QCOMPARE(pasteboard.string(), std::optional<QString>(QStringLiteral("visible text")));

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
        QVERIFY(copyWithXclip(QStringLiteral("UTF8_STRING"), "in the clipboard"));
        QTRY_COMPARE(pasteboard.changeCount(), 1);
        const qint64 before = pasteboard.changeCount();
        QSignalSpy changed(&pasteboard, &Pasteboard::changed);
        QSignalSpy qtChanged(QGuiApplication::clipboard(), &QClipboard::changed);

        QVERIFY(copyWithXclip(QStringLiteral("UTF8_STRING"), "only selected", QStringLiteral("primary")));
        // Qt did see the selection change; the pasteboard did not count it.
        QTRY_VERIFY(qtChanged.contains(QVariantList{QVariant::fromValue(QClipboard::Selection)}));
        QCOMPARE(pasteboard.changeCount(), before);
        QVERIFY(changed.isEmpty());
        QCOMPARE(pasteboard.string(), std::optional<QString>(QStringLiteral("in the clipboard")));
    }

    void writesAreServedToOtherClients_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("text") << QStringLiteral("text");
        QTest::newRow("file URLs") << QStringLiteral("files");
        QTest::newRow("image") << QStringLiteral("image");
    }

    void writesAreServedToOtherClients()
    {
        QFETCH(QString, kind);
        X11Pasteboard pasteboard(QGuiApplication::clipboard());
        const QString text = QStringLiteral("Vexilo wrote ✓");
        const QStringList paths{QStringLiteral("/tmp/one file.txt"), QStringLiteral("/tmp/zwei/ü.png")};
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
                QCOMPARE(readWithXclip(QStringLiteral("UTF8_STRING")), std::optional<QByteArray>(text.toUtf8()));
                QCOMPARE(pasteboard.string(), std::optional<QString>(text));
            } else if (kind == QLatin1String("files")) {
                const auto uriList = readWithXclip(QStringLiteral("text/uri-list"));
                QVERIFY(uriList);
                QCOMPARE(X11Pasteboard::localPathsFromUriList(*uriList), paths);
                const auto copiedFiles = readWithXclip(QStringLiteral("x-special/gnome-copied-files"));
                QCOMPARE(copiedFiles,
                         std::optional<QByteArray>("copy\nfile:///tmp/one%20file.txt\nfile:///tmp/zwei/%C3%BC.png"));
                QCOMPARE(readWithXclip(QStringLiteral("UTF8_STRING")),
                         std::optional<QByteArray>(paths.join(u'\n').toUtf8()));
                QCOMPARE(pasteboard.fileUrlPaths(), paths);
                QCOMPARE(pasteboard.legacyFileNames(), std::optional<QStringList>(paths));
            } else {
                const auto png = readWithXclip(QStringLiteral("image/png"));
                QVERIFY(png);
                compareToTestImage(QImage::fromData(*png, "PNG"));
                QVERIFY(pasteboard.types().contains(QStringLiteral("image/png")));
                QCOMPARE(pasteboard.images().size(), 1);
            }
        }
        // Serving did not count as another change.
        QCOMPARE(pasteboard.changeCount(), before + 1);
        QCOMPARE(changed.size(), 1);

        // Someone else copying takes over.
        QVERIFY(copyWithXclip(QStringLiteral("UTF8_STRING"), "taken over"));
        QTRY_COMPARE(pasteboard.changeCount(), before + 2);
        QTRY_VERIFY(!QGuiApplication::clipboard()->ownsClipboard());
        QCOMPARE(pasteboard.string(), std::optional<QString>(QStringLiteral("taken over")));
    }

    void clearedContentsOfferNothing()
    {
        X11Pasteboard pasteboard(QGuiApplication::clipboard());
        pasteboard.setString(QStringLiteral("about to go"));
        const qint64 before = pasteboard.changeCount();
        pasteboard.clearContents();
        QCOMPARE(pasteboard.changeCount(), before + 1);
        QVERIFY(pasteboard.types().isEmpty());
        QVERIFY(!pasteboard.string());
        // Other clients see an owner that offers no data.
        const auto targets = readWithXclip(QStringLiteral("TARGETS"));
        QVERIFY(targets);
        for (const QByteArray &target : targets->trimmed().split('\n'))
            QVERIFY2(X11Pasteboard::isSelectionTarget(QString::fromLatin1(target)), target.constData());
        QCOMPARE(readWithXclip(QStringLiteral("UTF8_STRING")).value_or(QByteArray()), QByteArray());
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
