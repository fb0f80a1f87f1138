// SPDX-License-Identifier: MIT
#include "QRCodeService.h"

#include <QTest>
#include <ZXing/ReadBarcode.h>

using namespace Vexilo;

namespace {

struct Decoded
{
    bool valid = false;
    QByteArray bytes;
    QString ecLevel;
};

Decoded decode(const QImage &image)
{
    const QImage gray = image.convertToFormat(QImage::Format_Grayscale8);
    const ZXing::ImageView view(gray.constBits(), gray.width(), gray.height(), ZXing::ImageFormat::Lum,
                                int(gray.bytesPerLine()));
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::QRCode);
    const ZXing::Result result = ZXing::ReadBarcode(view, hints);
    if (!result.isValid())
        return {};
    const ZXing::ByteArray &bytes = result.bytes();
    return {true, QByteArray(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size())),
            QString::fromStdString(result.ecLevel())};
}

ClipItem clip(ClipType type)
{
    return ClipItem(QUuid::createUuid(), 0, type);
}

// Lengths of the runs of equal pixels along one row or column.
QList<int> runs(const QImage &image, int index, bool row)
{
    QList<int> lengths;
    QRgb previous = 0;
    for (int i = 0; i < image.width(); ++i) {
        const QRgb pixel = row ? image.pixel(i, index) : image.pixel(index, i);
        if (i == 0 || pixel != previous)
            lengths.append(0);
        ++lengths.last();
        previous = pixel;
    }
    return lengths;
}

int firstDark(const QImage &image, int row)
{
    for (int x = 0; x < image.width(); ++x) {
        if (image.pixel(x, row) == qRgb(0, 0, 0))
            return x;
    }
    return -1;
}

} // namespace

class TestQRCodeService : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void payload_data()
    {
        QTest::addColumn<ClipItem>("item");
        QTest::addColumn<QString>("shareURL"); // what the image server answers; empty: no address
        QTest::addColumn<QString>("expected");

        const QString url = QStringLiteral("http://192.168.1.20:9876/image/X?token=abcd1234");

        // Text-like clips carry their text without the surrounding blanks.
        ClipItem text = clip(ClipType::Text);
        text.setTextContent(QStringLiteral("  \n hello world\t\n"));
        QTest::newRow("text trimmed") << text << url << QStringLiteral("hello world");
        ClipItem link = clip(ClipType::Url);
        link.setTextContent(QStringLiteral("https://example.com/a?b=c\n"));
        QTest::newRow("link") << link << url << QStringLiteral("https://example.com/a?b=c");
        ClipItem code = clip(ClipType::Code);
        code.setTextContent(QStringLiteral("\n  let a = 1\n  let b = 2\n"));
        QTest::newRow("code keeps inner lines") << code << url << QStringLiteral("let a = 1\n  let b = 2");

        // Files: the paths on separate lines.
        ClipItem files = clip(ClipType::File);
        files.setFilePaths(QStringList{QStringLiteral("/home/ana/a.txt"), QStringLiteral("/home/ana/b c.pdf")});
        QTest::newRow("two paths") << files << url << QStringLiteral("/home/ana/a.txt\n/home/ana/b c.pdf");

        // Colours and empty clips.
        ClipItem colour = clip(ClipType::Text);
        colour.setColorHex(QStringLiteral("#FF8800"));
        QTest::newRow("colour only") << colour << url << QStringLiteral("#FF8800");
        ClipItem blankWithColour = clip(ClipType::Text);
        blankWithColour.setTextContent(QStringLiteral("   "));
        blankWithColour.setColorHex(QStringLiteral("#00FF00"));
        QTest::newRow("blank text falls to colour") << blankWithColour << url << QStringLiteral("#00FF00");
        QTest::newRow("nothing at all") << clip(ClipType::Text) << url << QString();

        // Images: the share address first, then the recognised text as stored.
        ClipItem image = clip(ClipType::Image);
        image.setImageFileName(QStringLiteral("a.png"));
        image.setExtractedText(QStringLiteral("  Total 42\n"));
        QTest::newRow("image shared") << image << url << url;
        QTest::newRow("image without address uses its text untrimmed")
            << image << QString() << QStringLiteral("  Total 42\n");
        ClipItem blankOcr = clip(ClipType::Image);
        blankOcr.setExtractedText(QStringLiteral(" \n "));
        QTest::newRow("image without address and blank text") << blankOcr << QString() << QString();
        QTest::newRow("image without address or text") << clip(ClipType::Image) << QString() << QString();
    }

    void payload()
    {
        QFETCH(ClipItem, item);
        QFETCH(QString, shareURL);
        QFETCH(QString, expected);

        QList<QUuid> shared;
        QRCodeService service([&](const ClipItem &shareItem) -> std::optional<QString> {
            shared.append(shareItem.id());
            return shareURL.isEmpty() ? std::nullopt : std::optional<QString>(shareURL);
        });
        QCOMPARE(service.qrPayload(item), expected);
        // Only image clips are shared through the server, once per payload.
        QCOMPARE(shared, item.type() == ClipType::Image ? QList<QUuid>{item.id()} : QList<QUuid>{});
    }

    void texts_data()
    {
        QTest::addColumn<ClipType>("type");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("subtitle");

        QTest::newRow("url") << ClipType::Url << QStringLiteral("Open Link on Phone")
                             << QStringLiteral("Scan with your phone camera to open link");
        QTest::newRow("image") << ClipType::Image << QStringLiteral("Download Image on Phone")
                               << QStringLiteral("Scan with phone camera to save image (on same Wi-Fi)");
        for (ClipType type : {ClipType::Text, ClipType::Code, ClipType::File}) {
            QTest::addRow("%s", qPrintable(ClipTypes::rawValue(type)))
                << type << QStringLiteral("QR Code Generator") << QStringLiteral("Scan with your phone camera");
        }
    }

    void texts()
    {
        QFETCH(ClipType, type);
        QFETCH(QString, title);
        QFETCH(QString, subtitle);
        QCOMPARE(QRCodeService::qrTitle(clip(type)), title);
        QCOMPARE(QRCodeService::qrSubtitle(clip(type)), subtitle);
    }

    void snippetTexts()
    {
        ClipItem snippet(QUuid::createUuid(), 0, ClipType::Text, false, {}, true);
        QCOMPARE(QRCodeService::qrTitle(snippet), QStringLiteral("QR Code Generator"));
    }

    void roundTrip_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("size");

        const QString longText = QStringLiteral("The quick brown fox jumps over the lazy dog. ").repeated(5).left(200);
        QTest::newRow("short text at 200") << QStringLiteral("hello") << 200;
        QTest::newRow("short text at an odd size") << QStringLiteral("hello") << 203;
        QTest::newRow("url at 280") << QStringLiteral("https://example.com/path?q=1&r=%20") << 280;
        QTest::newRow("share url at 280")
            << QStringLiteral("http://192.168.1.20:9876/image/6F9619FF-8B86-D011-B42D-00C04FC964FF?token=1a2b3c4d")
            << 280;
        QTest::newRow("utf-8 text") << QStringLiteral("Grüße, ünï — 漢字 🎉") << 280;
        QTest::newRow("two file paths") << QStringLiteral("/home/ana/a.txt\n/home/ana/b c.pdf") << 280;
        QTest::newRow("200 characters at 280") << longText << 280;
        QTest::newRow("200 characters at 1024") << longText << 1024;
        QTest::newRow("text with a NUL byte") << QStringLiteral("a") + QChar(0) + QStringLiteral("b") << 150;
    }

    void roundTrip()
    {
        QFETCH(QString, text);
        QFETCH(int, size);

        const QImage image = QRCodeService::generateQRCode(text, size);
        QVERIFY(!image.isNull());
        QCOMPARE(image.size(), QSize(size, size));

        // Only black and white.
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const QRgb pixel = image.pixel(x, y);
                if (pixel != qRgb(0, 0, 0) && pixel != qRgb(255, 255, 255))
                    QFAIL(qPrintable(QStringLiteral("pixel %1,%2 is %3").arg(x).arg(y).arg(pixel, 8, 16)));
            }
        }

        const Decoded decoded = decode(image);
        QVERIFY(decoded.valid);
        QCOMPARE(decoded.bytes, text.toUtf8());
        QCOMPARE(decoded.ecLevel, QStringLiteral("M"));
    }

    // The symbol sits inside a white border of four modules on every side, and every module is a solid
    // block: no run of pixels is thinner than a module.
    void quietZoneAndSolidModules_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("multiple of the module count") << 29 * 8;
        QTest::newRow("not a multiple") << 280;
        QTest::newRow("small, not a multiple") << 92;
    }

    void quietZoneAndSolidModules()
    {
        QFETCH(int, size);
        const QImage image = QRCodeService::generateQRCode(QStringLiteral("quiet zone 123"), size);
        QVERIFY(!image.isNull());

        // The finder pattern's top row: its first dark pixel ends the quiet zone, and its dark run is
        // 7 modules wide, which gives the module size.
        int top = 0;
        while (top < size && firstDark(image, top) < 0)
            ++top;
        QVERIFY(top < size);
        const int left = firstDark(image, top);
        int finderEnd = left;
        while (finderEnd < size && image.pixel(finderEnd, top) == qRgb(0, 0, 0))
            ++finderEnd;
        const double modulePixels = (finderEnd - left) / 7.0;
        const int modules = qRound(size / modulePixels);
        QCOMPARE(modules, 21 + 8); // 14 bytes make a version 1 symbol at level M
        QVERIFY(qAbs(top / modulePixels - 4) < 0.5);
        QVERIFY(qAbs(left / modulePixels - 4) < 0.5);
        int bottom = size - 1;
        while (bottom > 0 && firstDark(image, bottom) < 0)
            --bottom;
        QVERIFY(qAbs((size - 1 - bottom) / modulePixels - 4) < 0.5);

        const int thinnest = size / modules;
        for (int i = 0; i < size; ++i) {
            for (bool row : {true, false}) {
                const QList<int> lengths = runs(image, i, row);
                for (int length : lengths)
                    QVERIFY2(length >= thinnest, qPrintable(QStringLiteral("run of %1 at %2").arg(length).arg(i)));
            }
        }
        QVERIFY(decode(image).valid);
    }

    void noImage_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("size");
        QTest::newRow("empty text") << QString() << 280;
        QTest::newRow("size zero") << QStringLiteral("hello") << 0;
        QTest::newRow("smaller than the modules") << QStringLiteral("hello") << 20;
        // Level M holds at most 2331 bytes.
        QTest::newRow("too long for a QR code") << QString(2332, u'x') << 1024;
    }

    void noImage()
    {
        QFETCH(QString, text);
        QFETCH(int, size);
        QVERIFY(QRCodeService::generateQRCode(text, size).isNull());
    }

    void longestText()
    {
        const QString text(2331, u'x');
        QVERIFY(decode(QRCodeService::generateQRCode(text, 1024)).bytes == text.toUtf8());
    }
};

QTEST_GUILESS_MAIN(TestQRCodeService)
#include "tst_qrcodeservice.moc"
