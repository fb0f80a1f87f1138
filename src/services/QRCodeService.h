// SPDX-License-Identifier: MIT
#pragma once

#include "ClipItem.h"

#include <QImage>
#include <QString>
#include <functional>
#include <optional>

namespace Vexilo {

// What a clip's QR code carries, the texts of the sharing sheet, and the rendering of the code.
class QRCodeService
{
public:
    // Shares an image clip through the local image server: its download address, or nothing when
    // the machine has no usable network address.
    using ShareURLProvider = std::function<std::optional<QString>(const ClipItem &item)>;

    explicit QRCodeService(ShareURLProvider shareURL);

    static inline const QString symbolName = QStringLiteral("qrcode.viewfinder");

    // Empty when there is nothing to share. For an image clip this issues a fresh share address, so
    // only the latest code shown works.
    [[nodiscard]] QString qrPayload(const ClipItem &item) const;
    [[nodiscard]] static QString qrPayload(const ClipItem &item, const ShareURLProvider &shareURL);
    [[nodiscard]] static QString qrTitle(const ClipItem &item);
    [[nodiscard]] static QString qrSubtitle(const ClipItem &item);

    // Black modules on white with a four-module quiet zone, exactly size × size pixels with solid
    // modules. Null for an empty text, a text too long for a QR code, or a size smaller than the
    // number of modules.
    [[nodiscard]] static QImage generateQRCode(const QString &text, int size);

private:
    ShareURLProvider m_shareURL;
};

} // namespace Vexilo
