// SPDX-License-Identifier: MIT
#include "ClipboardFormats.h"
#include "X11Pasteboard.h"
#include "XTestMain.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPainter>
#include <QSignalSpy>

using namespace Vexilo;
using namespace Qt::StringLiterals;

namespace {

// The helper: offers every format/value pair of its arguments on the clipboard, which xclip cannot.
int serveClipboard(int argc, char **argv)
{
    auto *data = new QMimeData;
    for (int i = 2; i + 1 < argc; i += 2)
        data->setData(QString::fromUtf8(argv[i]), QByteArray(argv[i + 1]));
    QGuiApplication app(argc, argv);
    QGuiApplication::clipboard()->setMimeData(data, QClipboard::Clipboard);
    if (!QGuiApplication::clipboard()->ownsClipboard())
        return 2;
    Test::reportToTest(u"ready"_s);
    return Test::execUntilInputCloses();
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

QByteArray pngOf(const QImage &image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
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

private Q_SLOTS:
    void selectionTargetsAreRecognised()
    {
        // X target names are upper case without a slash; MIME types and marker types never are.
        for (const QString &type : {u"TARGETS"_s, u"SAVE_TARGETS"_s, u"UTF8_STRING"_s, u"COMPOUND_TEXT"_s})
            QVERIFY2(ClipboardFormats::isSelectionTarget(type), qPrintable(type));
        for (const QString &type : {u"text/plain"_s, u"x-kde-passwordManagerHint"_s,
                                    u"org.nspasteboard.ConcealedType"_s, u"TEXT/PLAIN"_s, QString()})
            QVERIFY2(!ClipboardFormats::isSelectionTarget(type), qPrintable(type));
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
        // An image is the image, pixel for pixel.
        QTest::newRow("png") << u"image/png"_s << pngOf(testImage()) << std::optional<QString>() << QStringList()
                             << std::optional<QStringList>();
    }

    void readsForeignCopies()
    {
        QFETCH(QString, target);
        QFETCH(QByteArray, bytes);
        X11Pasteboard pasteboard(QGuiApplication::clipboard());
        QSignalSpy changed(&pasteboard, &Pasteboard::changed);
        const qint64 before = pasteboard.changeCount();
        QVERIFY(session().copy(bytes, target));
        QTRY_VERIFY(pasteboard.changeCount() > before);
        QVERIFY(!changed.isEmpty());

        // The target's MIME type is listed; X's own target names are not.
        QCOMPARE(pasteboard.types(), QStringList{target.startsWith(u"UTF8") ? u"text/plain"_s : target});
        QTEST(pasteboard.string(), "string");
        QTEST(pasteboard.fileUrlPaths(), "fileUrlPaths");
        QTEST(pasteboard.legacyFileNames(), "legacyFileNames");
        const QList<QImage> images = pasteboard.images();
        QCOMPARE(images.size(), target == u"image/png" ? 1 : 0);
        if (!images.isEmpty())
            compareToTestImage(images.first());
    }

    void markerTypesAreListedWithTheText()
    {
        X11Pasteboard pasteboard(QGuiApplication::clipboard());
        const qint64 before = pasteboard.changeCount();
        Test::HelperProcess owner;
        QVERIFY(owner.start(
            {u"--serve-clipboard"_s, u"text/plain"_s, u"visible text"_s, u"x-kde-passwordManagerHint"_s, u"secret"_s}));
        QTRY_VERIFY(pasteboard.changeCount() > before);

        // Qt owners also offer MULTIPLE, TIMESTAMP and SAVE_TARGETS; none of them is a type.
        const QStringList types = pasteboard.types();
        QVERIFY2(types.contains(u"text/plain"_s), qPrintable(types.join(u',')));
        QVERIFY2(types.contains(u"x-kde-passwordManagerHint"_s), qPrintable(types.join(u',')));
        for (const QString &type : types)
            QVERIFY2(!ClipboardFormats::isSelectionTarget(type), qPrintable(type));
        QCOMPARE(pasteboard.string(), std::optional<QString>(u"visible text"_s));

        // When the owner quits, X clears the clipboard: a change with nothing in it.
        const qint64 whileOwned = pasteboard.changeCount();
        owner.stop();
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
        QVERIFY(session().copy("in the clipboard", u"UTF8_STRING"_s));
        QTRY_COMPARE(pasteboard.changeCount(), 1);
        const qint64 before = pasteboard.changeCount();
        QSignalSpy changed(&pasteboard, &Pasteboard::changed);
        QSignalSpy qtChanged(QGuiApplication::clipboard(), &QClipboard::changed);

        QVERIFY(session().copy("only selected", u"UTF8_STRING"_s, u"primary"_s));
        // Qt did see the selection change; the pasteboard did not count it.
        QTRY_VERIFY(qtChanged.contains(QVariantList{QVariant::fromValue(QClipboard::Selection)}));
        QCOMPARE(pasteboard.changeCount(), before);
        QVERIFY(changed.isEmpty());
        QCOMPARE(pasteboard.string(), std::optional<QString>(u"in the clipboard"_s));
    }

    void writesAreServedToOtherClients_data()
    {
        // Text goes through the end-to-end tests of pasting.
        QTest::addColumn<QString>("kind");
        QTest::newRow("file URLs") << u"files"_s;
        QTest::newRow("image") << u"image"_s;
    }

    void writesAreServedToOtherClients()
    {
        QFETCH(QString, kind);
        X11Pasteboard pasteboard(QGuiApplication::clipboard());
        const QStringList paths{u"/tmp/one file.txt"_s, u"/tmp/zwei/ü.png"_s};
        QSignalSpy changed(&pasteboard, &Pasteboard::changed);
        const qint64 before = pasteboard.changeCount();
        if (kind == QLatin1String("files"))
            pasteboard.writeFileUrls(paths);
        else
            pasteboard.writeImage(testImage());
        // One write, one change, counted at once so that the writer can acknowledge it.
        QCOMPARE(pasteboard.changeCount(), before + 1);
        QVERIFY(QGuiApplication::clipboard()->ownsClipboard());
        QTRY_COMPARE(changed.size(), 1);

        // Read twice by another client: ownership stays with this process after the first answer.
        for (int round = 0; round < 2; ++round) {
            if (kind == QLatin1String("files")) {
                const auto uriList = session().paste(u"text/uri-list"_s);
                QVERIFY(uriList);
                QCOMPARE(ClipboardFormats::localPathsFromUriList(*uriList), paths);
                const auto copiedFiles = session().paste(u"x-special/gnome-copied-files"_s);
                QCOMPARE(copiedFiles,
                         std::optional<QByteArray>("copy\nfile:///tmp/one%20file.txt\nfile:///tmp/zwei/%C3%BC.png"));
                QCOMPARE(session().paste(u"UTF8_STRING"_s), std::optional<QByteArray>(paths.join(u'\n').toUtf8()));
                QCOMPARE(pasteboard.fileUrlPaths(), paths);
                QCOMPARE(pasteboard.legacyFileNames(), std::optional<QStringList>(paths));
            } else {
                const auto png = session().paste(u"image/png"_s);
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
        QVERIFY(session().copy("taken over", u"UTF8_STRING"_s));
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
        const auto targets = session().paste(u"TARGETS"_s);
        QVERIFY(targets);
        for (const QByteArray &target : targets->trimmed().split('\n'))
            QVERIFY2(ClipboardFormats::isSelectionTarget(QString::fromLatin1(target)), target.constData());
        QCOMPARE(session().paste(u"UTF8_STRING"_s).value_or(QByteArray()), QByteArray());
        QCOMPARE(pasteboard.changeCount(), before + 1);
    }
};

int main(int argc, char **argv)
{
    return Test::runInXSession(argc, argv, []() -> QObject * { return new TestX11Pasteboard; },
                               {{"--serve-clipboard", serveClipboard}});
}

#include "tst_x11pasteboard.moc"
