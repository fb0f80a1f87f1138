// SPDX-License-Identifier: MIT
#include "AppSettings.h"

namespace Vexilo {

namespace {
// INI files keep no types: a Boolean reads back as the text "true" or "false".
std::optional<bool> toBool(const QVariant &value)
{
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString();
        if (text == u"true")
            return true;
        if (text == u"false")
            return false;
    }
    return std::nullopt;
}

// An empty list cannot be told from a missing key in an INI file, so lists are stored with a marker.
const QString emptyListMarker = QStringLiteral("@EmptyList");
} // namespace

AppSettings::AppSettings(std::unique_ptr<QSettings> settings, QObject *parent)
    : QObject(parent)
    , m_settings(std::move(settings))
{ }

std::unique_ptr<AppSettings> AppSettings::openUserSettings(QObject *parent)
{
    return std::make_unique<AppSettings>(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                                                     QStringLiteral("Vexilo"),
                                                                     QStringLiteral("Vexilo")),
                                         parent);
}

std::unique_ptr<AppSettings> AppSettings::openFile(const QString &path, QObject *parent)
{
    return std::make_unique<AppSettings>(std::make_unique<QSettings>(path, QSettings::IniFormat), parent);
}

void AppSettings::registerDefaults(const QVariantMap &defaults)
{
    for (auto it = defaults.cbegin(); it != defaults.cend(); ++it)
        m_defaults.insert(it.key(), it.value());
}

QVariant AppSettings::value(const QString &key) const
{
    const QVariant stored = m_settings->value(key);
    if (stored.isValid())
        return stored;
    return m_defaults.value(key);
}

bool AppSettings::containsStored(const QString &key) const
{
    return m_settings->contains(key);
}

void AppSettings::setValue(const QString &key, const QVariant &value)
{
    if (m_settings->contains(key) && m_settings->value(key) == value)
        return;
    m_settings->setValue(key, value);
    Q_EMIT valueChanged(key);
}

void AppSettings::remove(const QString &key)
{
    if (!m_settings->contains(key))
        return;
    m_settings->remove(key);
    Q_EMIT valueChanged(key);
}

bool AppSettings::boolValue(const QString &key, bool fallback) const
{
    return toBool(value(key)).value_or(fallback);
}

int AppSettings::intValue(const QString &key, int fallback) const
{
    bool ok = false;
    const int result = value(key).toInt(&ok);
    return ok ? result : fallback;
}

QString AppSettings::stringValue(const QString &key, const QString &fallback) const
{
    const QVariant v = value(key);
    return v.isValid() ? v.toString() : fallback;
}

std::optional<QStringList> AppSettings::stringListValue(const QString &key) const
{
    const QVariant v = value(key);
    if (!v.isValid())
        return std::nullopt;
    if (v.typeId() == QMetaType::QString && v.toString() == emptyListMarker)
        return QStringList();
    return v.toStringList();
}

void AppSettings::setStringList(const QString &key, const QStringList &list)
{
    setValue(key, list.isEmpty() ? QVariant(emptyListMarker) : QVariant(list));
}

std::optional<bool> AppSettings::storedBool(const QString &key) const
{
    return toBool(m_settings->value(key));
}

void AppSettings::sync()
{
    m_settings->sync();
}

} // namespace Vexilo
