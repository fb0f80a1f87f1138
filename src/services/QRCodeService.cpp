// SPDX-License-Identifier: MIT
#include "QRCodeService.h"

#include "TextUtils.h"

#include <qrencode.h>

#include <cstring>
#include <memory>

namespace Vexilo {

namespace {

constexpr int quietZoneModules = 4;

struct QRcodeDeleter
{
    void operator()(QRcode *code) const { QRcode_free(code); }
};

// Pixel edges of the modules: module i covers [edges[i], edges[i + 1]). Spreading the remainder over
// the modules keeps every module solid and the whole exactly `size` wide.
QList<int> moduleEdges(int modules, int size)
{
    QList<int> edges(modules + 1);
    for (int i = 0; i <= modules; ++i)
        edges[i] = int(qint64(i) * size / modules);
    return edges;
}

} // namespace

QRCodeService::QRCodeService(ShareURLProvider shareURL)
    : m_shareURL(std::move(shareURL))
{ }

QString QRCodeService::qrPayload(const ClipItem &item) const
{
    return qrPayload(item, m_shareURL);
}

QString QRCodeService::qrPayload(const ClipItem &item, const ShareURLProvider &shareURL)
{
    if (item.type() == ClipType::Image) {
        if (shareURL) {
            if (std::optional<QString> url = shareURL(item))
                return *url;
        }
        if (item.hasExtractedText() && !TextUtils::trimmed(item.extractedText()).isEmpty())
            return item.extractedText();
    }
    if (item.hasTextContent()) {
        const QString text = item.textContent();
        const QStringView trimmed = TextUtils::trimmed(text);
        if (!trimmed.isEmpty())
            return trimmed.toString();
    }
    if (item.hasFilePaths() && !item.filePaths().isEmpty())
        return item.filePaths().join(u'\n');
    return item.hasColorHex() ? item.colorHex() : QString();
}

QString QRCodeService::qrTitle(const ClipItem &item)
{
    switch (item.type()) {
    case ClipType::Url:
        return QStringLiteral("Open Link on Phone");
    case ClipType::Image:
        return QStringLiteral("Download Image on Phone");
    default:
        return QStringLiteral("QR Code Generator");
    }
}

QString QRCodeService::qrSubtitle(const ClipItem &item)
{
    switch (item.type()) {
    case ClipType::Url:
        return QStringLiteral("Scan with your phone camera to open link");
    case ClipType::Image:
        return QStringLiteral("Scan with phone camera to save image (on same Wi-Fi)");
    default:
        return QStringLiteral("Scan with your phone camera");
    }
}

QImage QRCodeService::generateQRCode(const QString &text, int size)
{
    if (text.isEmpty() || size <= 0)
        return {};
    const QByteArray utf8 = text.toUtf8();
    const std::unique_ptr<QRcode, QRcodeDeleter> code(QRcode_encodeData(
        int(utf8.size()), reinterpret_cast<const unsigned char *>(utf8.constData()), 0, QR_ECLEVEL_M));
    if (!code)
        return {};

    const int width = code->width;
    const int modules = width + 2 * quietZoneModules;
    if (size < modules)
        return {};
    const QList<int> edges = moduleEdges(modules, size);

    QImage image(size, size, QImage::Format_RGB32);
    const QRgb white = qRgb(255, 255, 255);
    const QRgb black = qRgb(0, 0, 0);
    QList<QRgb> scanline(size);
    for (int row = 0; row < modules; ++row) {
        const int symbolRow = row - quietZoneModules;
        for (int column = 0; column < modules; ++column) {
            const int symbolColumn = column - quietZoneModules;
            const bool inSymbol = symbolRow >= 0 && symbolRow < width && symbolColumn >= 0 && symbolColumn < width;
            // Bit 0 of each libqrencode module is the colour; the other bits describe its role.
            const bool dark = inSymbol && (code->data[symbolRow * width + symbolColumn] & 1);
            std::fill(scanline.begin() + edges[column], scanline.begin() + edges[column + 1], dark ? black : white);
        }
        for (int y = edges[row]; y < edges[row + 1]; ++y)
            std::memcpy(image.scanLine(y), scanline.constData(), size_t(size) * sizeof(QRgb));
    }
    return image;
}

} // namespace Vexilo
