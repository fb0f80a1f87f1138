// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QtQml/qqmlregistration.h>
#include <optional>

#include <QDBusVariant>

namespace Vexilo {

// Light or dark, contrast and motion as the desktop sets them: the XDG settings portal when it
// answers (and follows its changes), otherwise the lightness of the palette's window colour.
class DesktopAppearance : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Provided by the application")
    Q_PROPERTY(bool dark READ dark NOTIFY changed)
    Q_PROPERTY(bool increasedContrast READ increasedContrast NOTIFY changed)
    Q_PROPERTY(bool reduceMotion READ reduceMotion NOTIFY changed)
    Q_PROPERTY(bool translucent READ translucent NOTIFY changed)

public:
    explicit DesktopAppearance(QObject *parent = nullptr);

    // Asks the portal, when a session bus is there; until it answers the palette decides.
    void followDesktop();

    [[nodiscard]] bool dark() const;
    [[nodiscard]] bool increasedContrast() const { return m_increasedContrast; }
    [[nodiscard]] bool reduceMotion() const { return m_reduceMotion; }
    [[nodiscard]] bool translucent() const { return m_translucent; }

    void setTranslucent(bool translucent);
    // A fixed scheme, for screenshots; nothing follows the desktop's scheme afterwards.
    void setColorScheme(bool dark);

    // The portal's values: color-scheme 1 = dark, 2 = light, 0 = no preference.
    void applySetting(const QString &group, const QString &key, const QVariant &value);

Q_SIGNALS:
    void changed();

private Q_SLOTS:
    void onSettingChanged(const QString &group, const QString &key, const QDBusVariant &value);

private:
    void read(const QString &group, const QString &key);

    std::optional<bool> m_portalDark;
    std::optional<bool> m_fixedDark;
    bool m_increasedContrast = false;
    bool m_reduceMotion = false;
    bool m_translucent = false;
};

} // namespace Vexilo
