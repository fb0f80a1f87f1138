// SPDX-License-Identifier: MIT
#include "SymbolIcons.h"

#include <QFileInfo>
#include <QHash>
#include <QPainter>
#include <QPixmap>
#include <QStandardPaths>
#include <QSvgRenderer>

#include <algorithm>
#include <array>
#include <functional>
#include <optional>

namespace Vexilo {

namespace {

struct Entry
{
    QLatin1StringView symbol;
    // A name of the freedesktop icon naming scheme or of Breeze; empty when only our drawing fits.
    QLatin1StringView themeName;
    // Our own drawing under assets/, used when no theme has the name.
    QLatin1StringView asset;
};

using namespace Qt::StringLiterals;

constexpr std::array s_entries{
    // Categories, clip types and tiles
    Entry{"tray.full.fill"_L1, "mail-folder-inbox"_L1, {}},
    Entry{"pin"_L1, "window-pin"_L1, {}},
    Entry{"pin.fill"_L1, "pin"_L1, {}},
    Entry{"pin.slash"_L1, "window-unpin"_L1, {}},
    Entry{"pin.slash.fill"_L1, "window-unpin"_L1, {}},
    Entry{"text.badge.star"_L1, {}, "text.badge.star.svg"_L1},
    Entry{"doc.text"_L1, "text-x-generic"_L1, {}},
    Entry{"doc.text.fill"_L1, "text-x-generic"_L1, {}},
    Entry{"photo.fill"_L1, "photo"_L1, {}},
    Entry{"link"_L1, "link"_L1, {}},
    Entry{"chevron.left.forwardslash.chevron.right"_L1, "format-text-code"_L1, {}},
    Entry{"folder.fill"_L1, "folder"_L1, {}},
    Entry{"folder"_L1, "document-open-folder"_L1, {}},
    Entry{"clipboard"_L1, "edit-paste"_L1, {}},
    Entry{"paperclip"_L1, "mail-attachment"_L1, {}},
    Entry{"paperclip.badge.ellipsis"_L1, {}, "paperclip.badge.ellipsis.svg"_L1},
    // Clip actions
    Entry{"doc.on.doc"_L1, "edit-copy"_L1, {}},
    Entry{"arrow.right.doc.on.clipboard"_L1, "edit-paste"_L1, {}},
    Entry{"trash"_L1, "edit-delete"_L1, {}},
    Entry{"tag"_L1, "tag"_L1, {}},
    Entry{"tag.fill"_L1, "tag"_L1, {}},
    Entry{"qrcode.viewfinder"_L1, "view-barcode-qr"_L1, {}},
    Entry{"text.alignleft"_L1, "format-justify-left"_L1, {}},
    Entry{"text.viewfinder"_L1, "document-scan"_L1, {}},
    Entry{"doc.text.magnifyingglass"_L1, "document-preview"_L1, {}},
    Entry{"arrow.up.right.square"_L1, {}, "arrow.up.right.square.svg"_L1},
    Entry{"square.and.arrow.down"_L1, "document-save"_L1, {}},
    // Text transforms
    Entry{"textformat.size.larger"_L1, "format-text-uppercase"_L1, {}},
    Entry{"textformat.size.smaller"_L1, "format-text-lowercase"_L1, {}},
    Entry{"textformat"_L1, "format-text-capitalize"_L1, {}},
    Entry{"scissors"_L1, "edit-cut"_L1, {}},
    Entry{"arrow.right.to.line"_L1, "go-last"_L1, {}},
    Entry{"curlybraces"_L1, "code-context"_L1, {}},
    Entry{"lock.fill"_L1, "object-locked"_L1, {}},
    Entry{"lock.open.fill"_L1, "object-unlocked"_L1, {}},
    // Window chrome, states and controls
    Entry{"magnifyingglass"_L1, "edit-find"_L1, {}},
    Entry{"xmark"_L1, "edit-delete-remove"_L1, {}},
    Entry{"xmark.circle.fill"_L1, {}, "xmark.circle.fill.svg"_L1},
    Entry{"checkmark"_L1, "dialog-ok"_L1, {}},
    Entry{"checkmark.circle.fill"_L1, {}, "checkmark.circle.fill.svg"_L1},
    Entry{"exclamationmark.triangle.fill"_L1, {}, "exclamationmark.triangle.fill.svg"_L1},
    Entry{"minus.circle.fill"_L1, {}, "minus.circle.fill.svg"_L1},
    Entry{"ellipsis"_L1, "view-more-horizontal-symbolic"_L1, {}},
    Entry{"chevron.down"_L1, "arrow-down"_L1, {}},
    Entry{"record.circle"_L1, "media-record"_L1, {}},
    Entry{"pause.circle.fill"_L1, "media-playback-pause"_L1, {}},
    Entry{"play.circle.fill"_L1, "media-playback-start"_L1, {}},
    Entry{"questionmark.circle"_L1, "question"_L1, {}},
    Entry{"gearshape"_L1, "configure"_L1, {}},
    Entry{"power"_L1, "application-exit"_L1, {}},
    Entry{"arrow.down.circle"_L1, "download"_L1, {}},
    // Settings and onboarding
    Entry{"command"_L1, "input-keyboard-symbolic"_L1, {}},
    Entry{"lock.shield"_L1, "security-high-symbolic"_L1, {}},
    Entry{"externaldrive"_L1, "drive-harddisk"_L1, {}},
    Entry{"menubar.rectangle"_L1, {}, "menubar.rectangle.svg"_L1},
    // Common extras for views
    Entry{"plus"_L1, "list-add"_L1, {}},
    Entry{"pencil"_L1, "document-edit"_L1, {}},
    Entry{"arrow.uturn.backward"_L1, "edit-undo"_L1, {}},
    Entry{"arrow.clockwise"_L1, "view-refresh"_L1, {}},
    Entry{"keyboard"_L1, "input-keyboard-symbolic"_L1, {}},
    Entry{"chevron.up"_L1, "arrow-up"_L1, {}},
    Entry{"chevron.left"_L1, "arrow-left"_L1, {}},
    Entry{"chevron.right"_L1, "arrow-right"_L1, {}},
};

const Entry *find(QStringView symbol)
{
    for (const Entry &e : s_entries) {
        if (e.symbol == symbol)
            return &e;
    }
    return nullptr;
}

// Breeze draws its glyphs at 16 and 22 pixels; its 32-pixel and larger icons are pictures.
int glyphBaseSize(int pixelSize)
{
    return pixelSize <= 16 ? 16 : 22;
}

// A Breeze file by name, read straight from the folder: themes such as Adwaita inherit only
// hicolor, so Qt never reaches the fallback theme for them.
QString breezeFile(QStringView name, int pixelSize)
{
    static const QString root =
        QStandardPaths::locate(QStandardPaths::GenericDataLocation, u"icons/breeze"_s, QStandardPaths::LocateDirectory);
    if (root.isEmpty())
        return {};
    static const std::array contexts{u"actions"_s, u"places"_s,    u"status"_s,      u"devices"_s,
                                     u"emblems"_s, u"mimetypes"_s, u"preferences"_s, u"apps"_s};
    const QString preferred = QString::number(glyphBaseSize(pixelSize));
    const QString other = preferred == u"16" ? u"22"_s : u"16"_s;
    for (const QString &size : {preferred, other, u"symbolic"_s}) {
        for (const QString &context : contexts) {
            const QString path = root + u'/' + context + u'/' + size + u'/' + name + u".svg";
            if (QFileInfo::exists(path))
                return path;
        }
    }
    return {};
}

QString assetPath(const Entry &entry)
{
    return entry.asset.isEmpty() ? QString() : u":/Vexilo/assets/"_s + entry.asset;
}

QImage renderSvg(const QString &path, int pixelSize)
{
    QSvgRenderer renderer(path);
    if (!renderer.isValid())
        return {};
    QImage image(pixelSize, pixelSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter, QRectF(0, 0, pixelSize, pixelSize));
    return image;
}

QImage renderThemeIcon(const QIcon &icon, int pixelSize)
{
    const int base = glyphBaseSize(pixelSize);
    const QPixmap pixmap = icon.pixmap(QSize(base, base), qMax(1.0, qreal(pixelSize) / base));
    QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(1);
    if (image.isNull() || image.size() == QSize(pixelSize, pixelSize))
        return image;
    image = image.scaled(pixelSize, pixelSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QImage square(pixelSize, pixelSize, QImage::Format_ARGB32_Premultiplied);
    square.fill(Qt::transparent);
    QPainter painter(&square);
    painter.drawImage((pixelSize - image.width()) / 2, (pixelSize - image.height()) / 2, image);
    return square;
}

// Colours in 16 levels per channel, so that rounding at soft edges stays in one bucket.
uint colourBucket(QRgb pixel)
{
    return uint(qRed(pixel) >> 4) << 8 | uint(qGreen(pixel) >> 4) << 4 | uint(qBlue(pixel) >> 4);
}

bool nearBucket(uint a, uint b)
{
    for (int shift : {0, 4, 8}) {
        if (qAbs(int((a >> shift) & 0xf) - int((b >> shift) & 0xf)) > 1)
            return false;
    }
    return true;
}

// The ink of a glyph: the colour with the most coverage (weighted by alpha), provided that three
// colours at most cover nearly all of it. A picture of many colours has no ink.
std::optional<uint> inkBucket(const QImage &image)
{
    QHash<uint, qint64> coverage;
    qint64 total = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (const int a = qAlpha(line[x])) {
                coverage[colourBucket(line[x])] += a;
                total += a;
            }
        }
    }
    QList<std::pair<qint64, uint>> ranked;
    for (auto it = coverage.cbegin(); it != coverage.cend(); ++it)
        ranked.append({it.value(), it.key()});
    std::sort(ranked.begin(), ranked.end(), std::greater<>());
    qint64 leading = 0;
    for (qsizetype i = 0; i < qMin<qsizetype>(3, ranked.size()); ++i)
        leading += ranked.at(i).first;
    if (total == 0 || leading * 10 < total * 8)
        return std::nullopt;
    return ranked.first().second;
}

// Theme glyphs are drawn in one ink, sometimes with a small accent (the red bar of "unpin", the
// arrow of the case icons). The ink takes the requested colour and accents keep theirs, so a
// glyph stays legible on dark backgrounds.
QImage recolourInk(const QImage &premultiplied, const QColor &color)
{
    QImage image = premultiplied.convertToFormat(QImage::Format_ARGB32);
    const std::optional<uint> ink = inkBucket(image);
    if (!ink)
        return premultiplied;
    const QRgb target = color.rgb();
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int a = qAlpha(line[x]);
            if (a > 0 && nearBucket(colourBucket(line[x]), *ink))
                line[x] = qRgba(qRed(target), qGreen(target), qBlue(target), qRound(a * color.alphaF()));
        }
    }
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace

QStringList SymbolIcons::names() const
{
    QStringList result;
    result.reserve(qsizetype(s_entries.size()));
    for (const Entry &e : s_entries)
        result.append(e.symbol);
    return result;
}

QString SymbolIcons::themeIconName(QStringView symbol)
{
    const Entry *entry = find(symbol);
    return entry ? QString(entry->themeName) : QString();
}

QIcon SymbolIcons::icon(QStringView symbol)
{
    const Entry *entry = find(symbol);
    if (!entry)
        return {};
    if (!entry->themeName.isEmpty()) {
        if (QIcon::hasThemeIcon(entry->themeName))
            return QIcon::fromTheme(entry->themeName);
        const QString file = breezeFile(QString(entry->themeName), 22);
        if (!file.isEmpty())
            return QIcon(file);
    }
    const QString asset = assetPath(*entry);
    return asset.isEmpty() ? QIcon() : QIcon(asset);
}

QImage SymbolIcons::render(QStringView symbol, int pixelSize, const QColor &color)
{
    const Entry *entry = find(symbol);
    if (!entry || pixelSize <= 0)
        return {};
    QImage image;
    if (!entry->themeName.isEmpty()) {
        if (QIcon::hasThemeIcon(entry->themeName)) {
            image = renderThemeIcon(QIcon::fromTheme(entry->themeName), pixelSize);
        } else {
            const QString file = breezeFile(QString(entry->themeName), pixelSize);
            if (!file.isEmpty())
                image = renderSvg(file, pixelSize);
        }
    }
    if (image.isNull() && !entry->asset.isEmpty())
        image = renderSvg(assetPath(*entry), pixelSize);
    if (image.isNull() || !color.isValid())
        return image;
    return recolourInk(image, color);
}

void SymbolIcons::prepareIconTheme()
{
    QStringList paths = QIcon::themeSearchPaths();
    const QStringList dataDirs =
        QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, u"icons"_s, QStandardPaths::LocateDirectory);
    for (const QString &dir : dataDirs) {
        if (!paths.contains(dir))
            paths.append(dir);
    }
    QIcon::setThemeSearchPaths(paths);
    QIcon::setFallbackThemeName(u"breeze"_s);
    if (QIcon::themeName().isEmpty())
        QIcon::setThemeName(u"breeze"_s);
}

} // namespace Vexilo
