// SPDX-License-Identifier: MIT
#include "TrayIcon.h"

#include "AppLogo.h"
#include "ClipboardStore.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QFont>
#include <QPainter>
#include <QSystemTrayIcon>

namespace Vexilo {

namespace {
const QString watcherService = QStringLiteral("org.kde.StatusNotifierWatcher");

bool statusNotifierHostRunning()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface() || !bus.interface()->isServiceRegistered(watcherService))
        return false;
    QDBusInterface watcher(watcherService, QStringLiteral("/StatusNotifierWatcher"), watcherService, bus);
    return watcher.property("IsStatusNotifierHostRegistered").toBool();
}

QString badgeText(int count)
{
    return count > 99 ? QStringLiteral("99+") : QString::number(count);
}
} // namespace

TrayIcon::TrayIcon(Dependencies dependencies, QObject *parent)
    : QObject(parent)
    , m_deps(std::move(dependencies))
    , m_icon(std::make_unique<QSystemTrayIcon>())
{
    if (m_deps.menu)
        m_icon->setContextMenu(m_deps.menu);
    connect(m_icon.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger && m_deps.activated)
            m_deps.activated(m_icon->geometry());
        else if (reason == QSystemTrayIcon::MiddleClick && m_deps.secondaryActivated)
            m_deps.secondaryActivated();
    });
    connect(m_deps.store, &ClipboardStore::isPausedChanged, this, &TrayIcon::refresh);
    connect(m_deps.store, &ClipboardStore::countsChanged, this, &TrayIcon::refresh);
    refresh();
}

TrayIcon::~TrayIcon() = default;

void TrayIcon::show()
{
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        m_deps.log(QStringLiteral("Vexilo: No system tray was found; ") + m_deps.openHint +
                   QStringLiteral(" opens the history"));
    // Shown anyway: a tray that starts later picks the icon up.
    m_icon->show();
}

QString TrayIcon::hostDescription() const
{
    if (statusNotifierHostRunning())
        return QStringLiteral("StatusNotifierItem");
    if (QSystemTrayIcon::isSystemTrayAvailable())
        return QStringLiteral("XEmbed system tray");
    return {};
}

QRect TrayIcon::geometry() const
{
    return m_icon->geometry();
}

void TrayIcon::refresh()
{
    const bool paused = m_deps.store->isPaused();
    const int pinned = m_deps.store->pinnedClipCount();
    if (paused == m_paused && pinned == m_pinned)
        return;
    m_paused = paused;
    m_pinned = pinned;
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64})
        icon.addPixmap(QPixmap::fromImage(iconImage(size, paused, pinned)));
    m_icon->setIcon(icon);
    m_icon->setToolTip(toolTip(paused, pinned));
}

QImage TrayIcon::iconImage(int size, bool paused, int pinnedCount)
{
    QImage image = AppLogo::menuBarImage(size, paused);
    if (image.isNull()) {
        const QIcon fallback =
            QIcon::fromTheme(paused ? QStringLiteral("media-playback-pause") : QStringLiteral("edit-paste"));
        image = fallback.pixmap(size).toImage();
    }
    image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (image.isNull() || pinnedCount < 1)
        return image;

    // The badge takes the lower right corner, as large as stays readable at tray sizes.
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font;
    font.setBold(true);
    font.setPixelSize(std::max(7, size * 9 / 22));
    painter.setFont(font);
    const QString text = badgeText(pinnedCount);
    const int height = font.pixelSize() + 2;
    const int width = std::max(height, painter.fontMetrics().horizontalAdvance(text) + 4);
    const QRectF badge(image.width() - width, image.height() - height, width, height);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xE5, 0x48, 0x4D));
    painter.drawRoundedRect(badge, height / 2.0, height / 2.0);
    painter.setPen(Qt::white);
    painter.drawText(badge, Qt::AlignCenter, text);
    return image;
}

QString TrayIcon::toolTip(bool paused, int pinnedCount)
{
    QString text = QStringLiteral("Vexilo\n") + (paused ? QStringLiteral("Paused") : QStringLiteral("Recording"));
    if (pinnedCount == 1)
        text += QStringLiteral(" \u00b7 1 pinned clip");
    else if (pinnedCount > 1)
        text += QStringLiteral(" \u00b7 %1 pinned clips").arg(pinnedCount);
    return text;
}

} // namespace Vexilo
