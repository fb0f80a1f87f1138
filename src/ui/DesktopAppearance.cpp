// SPDX-License-Identifier: MIT
#include "DesktopAppearance.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPalette>

namespace Vexilo {

namespace {
const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString settingsInterface = QStringLiteral("org.freedesktop.portal.Settings");
const QString appearance = QStringLiteral("org.freedesktop.appearance");
const QString gnomeInterface = QStringLiteral("org.gnome.desktop.interface");
const QString kdeGlobals = QStringLiteral("org.kde.kdeglobals.KDE");
constexpr int portalTimeoutMs = 1000;

// Without an address or the standard socket, asking for the session bus would only try to start one.
bool sessionBusExpected()
{
    if (qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS"))
        return true;
    const QString runtimeDir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtimeDir.isEmpty() && QFileInfo::exists(runtimeDir + QStringLiteral("/bus"));
}

// The portal's Read wraps the value in one variant more than ReadOne does.
QVariant unwrap(QVariant value)
{
    while (value.canConvert<QDBusVariant>() && value.userType() == qMetaTypeId<QDBusVariant>())
        value = value.value<QDBusVariant>().variant();
    return value;
}
} // namespace

DesktopAppearance::DesktopAppearance(QObject *parent)
    : QObject(parent)
{ }

void DesktopAppearance::followDesktop()
{
    if (!sessionBusExpected())
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    bus.connect(portalService, portalPath, settingsInterface, QStringLiteral("SettingChanged"), this,
                SLOT(onSettingChanged(QString, QString, QDBusVariant)));
    read(appearance, QStringLiteral("color-scheme"));
    read(appearance, QStringLiteral("contrast"));
    read(gnomeInterface, QStringLiteral("enable-animations"));
    read(kdeGlobals, QStringLiteral("AnimationDurationFactor"));
}

void DesktopAppearance::read(const QString &group, const QString &key)
{
    QDBusMessage call =
        QDBusMessage::createMethodCall(portalService, portalPath, settingsInterface, QStringLiteral("Read"));
    call << group << key;
    auto *watcher = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call, portalTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, group, key] {
        watcher->deleteLater();
        const QDBusPendingReply<QDBusVariant> reply = *watcher;
        if (!reply.isError())
            applySetting(group, key, unwrap(reply.value().variant()));
    });
}

void DesktopAppearance::onSettingChanged(const QString &group, const QString &key, const QDBusVariant &value)
{
    applySetting(group, key, unwrap(value.variant()));
}

void DesktopAppearance::applySetting(const QString &group, const QString &key, const QVariant &value)
{
    if (group == appearance && key == QStringLiteral("color-scheme")) {
        const uint scheme = value.toUInt();
        m_portalDark = scheme == 0 ? std::nullopt : std::optional<bool>(scheme == 1);
    } else if (group == appearance && key == QStringLiteral("contrast")) {
        m_increasedContrast = value.toUInt() == 1;
    } else if (group == gnomeInterface && key == QStringLiteral("enable-animations")) {
        m_reduceMotion = !value.toBool();
    } else if (group == kdeGlobals && key == QStringLiteral("AnimationDurationFactor")) {
        m_reduceMotion = value.toDouble() == 0.0;
    } else {
        return;
    }
    Q_EMIT changed();
}

bool DesktopAppearance::dark() const
{
    if (m_fixedDark)
        return *m_fixedDark;
    if (m_portalDark)
        return *m_portalDark;
    return QGuiApplication::palette().color(QPalette::Window).lightness() < 128;
}

void DesktopAppearance::setTranslucent(bool translucent)
{
    if (translucent == m_translucent)
        return;
    m_translucent = translucent;
    Q_EMIT changed();
}

void DesktopAppearance::setColorScheme(bool dark)
{
    m_fixedDark = dark;
    Q_EMIT changed();
}

} // namespace Vexilo
