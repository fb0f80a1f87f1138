// SPDX-License-Identifier: MIT
#include "QRCodeService.h"

#include <QTest>
#include <ZXing/ReadBarcode.h>

using namespace Vexilo;
using namespace Qt::StringLiterals;

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

        const QString url = u"http://192.168.1.20:9876/image/X?token=abcd1234"_s;

        const auto with = [](ClipType type, const std::optional<QString> &text, const std::optional<QString> &hex) {
            ClipItem item = clip(type);
            item.setTextContent(text);
            item.setColorHex(hex);
            return item;
        };
        // Text-like clips carry their text without the surrounding blanks.
        QTest::newRow("text trimmed") << with(ClipType::Text, u"  \n hello world\t\n"_s, {}) << url << u"hello world"_s;
        QTest::newRow("code keeps inner lines")
            << with(ClipType::Code, u"\n  let a = 1\n  let b = 2\n"_s, {}) << url << u"let a = 1\n  let b = 2"_s;
        // Files: the paths on separate lines.
        ClipItem files = clip(ClipType::File);
        files.setFilePaths(QStringList{u"/home/ana/a.txt"_s, u"/home/ana/b c.pdf"_s});
        QTest::newRow("two paths") << files << url << u"/home/ana/a.txt\n/home/ana/b c.pdf"_s;
        // Colours and empty clips.
        QTest::newRow("colour only") << with(ClipType::Text, {}, u"#FF8800"_s) << url << u"#FF8800"_s;
        QTest::newRow("blank text falls to colour")
            << with(ClipType::Text, u"   "_s, u"#00FF00"_s) << url << u"#00FF00"_s;
        QTest::newRow("nothing at all") << clip(ClipType::Text) << url << QString();

        // Images: the share address first, then the recognised text as stored.
        ClipItem image = clip(ClipType::Image);
        image.setImageFileName(u"a.png"_s);
        image.setExtractedText(u"  Total 42\n"_s);
        QTest::newRow("image shared") << image << url << url;
        QTest::newRow("image without address uses its text untrimmed") << image << QString() << u"  Total 42\n"_s;
        ClipItem blankOcr = clip(ClipType::Image);
        blankOcr.setExtractedText(u" \n "_s);
        QTest::newRow("image without address and blank text") << blankOcr << QString() << QString();
        QTest::newRow("image without address or text") << clip(ClipType::Image) << QString() << QString();
    }

    void payload()
    {
        QFETCH(ClipItem, item);
        QFETCH(QString, shareURL);

        QList<QUuid> shared;
        QRCodeService service([&](const ClipItem &shareItem) -> std::optional<QString> {
            shared.append(shareItem.id());
            return shareURL.isEmpty() ? std::nullopt : std::optional<QString>(shareURL);
        });
        QTEST(service.qrPayload(item), "expected");
        // Only image clips are shared through the server, once per payload.
        QCOMPARE(shared, item.type() == ClipType::Image ? QList<QUuid>{item.id()} : QList<QUuid>{});
    }

    void roundTrip_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("size");

        const QString longText = u"The quick brown fox jumps over the lazy dog. "_s.repeated(5).left(200);
        QTest::newRow("short text at an odd size") << u"hello"_s << 203;
        QTest::newRow("utf-8 text") << u"Grüße, ünï — 漢字 🎉"_s << 280;
        QTest::newRow("200 characters at 1024") << longText << 1024;
        QTest::newRow("text with a NUL byte") << u"a"_s + QChar(0) + u"b"_s << 150;
        QTest::newRow("2331 bytes, the most at level M") << QString(2331, u'x') << 1024;
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
                    QFAIL(qPrintable(u"pixel %1,%2 is %3"_s.arg(x).arg(y).arg(pixel, 8, 16)));
            }
        }

        const Decoded decoded = decode(image);
        QVERIFY(decoded.valid);
        QCOMPARE(decoded.bytes, text.toUtf8());
        QCOMPARE(decoded.ecLevel, u"M"_s);
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
        const QImage image = QRCodeService::generateQRCode(u"quiet zone 123"_s, size);
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
                    QVERIFY2(length >= thinnest, qPrintable(u"run of %1 at %2"_s.arg(length).arg(i)));
            }
        }
        QVERIFY(decode(image).valid);
    }

    void noImage_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("size");
        QTest::newRow("empty text") << QString() << 280;
        QTest::newRow("size zero") << u"hello"_s << 0;
        QTest::newRow("smaller than the modules") << u"hello"_s << 20;
        // Level M holds at most 2331 bytes.
        QTest::newRow("too long for a QR code") << QString(2332, u'x') << 1024;
    }

    void noImage()
    {
        QFETCH(QString, text);
        QFETCH(int, size);
        QVERIFY(QRCodeService::generateQRCode(text, size).isNull());
    }
};

QTEST_GUILESS_MAIN(TestQRCodeService)
#include "tst_qrcodeservice.moc"
