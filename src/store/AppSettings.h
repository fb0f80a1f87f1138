// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QSettings>
#include <QVariantMap>
#include <memory>

namespace Vexilo {

// Per-user preferences: a persistent key-value store with a registration layer of defaults that is
// never written. A key the user never changed keeps following its registered default.
class AppSettings : public QObject
{
    Q_OBJECT

public:
    // Takes ownership of the backing store.
    explicit AppSettings(std::unique_ptr<QSettings> settings, QObject *parent = nullptr);
    // The user's own settings: organisation and application "Vexilo".
    static std::unique_ptr<AppSettings> openUserSettings(QObject *parent = nullptr);
    // An INI file at path, for tests and tools.
    static std::unique_ptr<AppSettings> openFile(const QString &path, QObject *parent = nullptr);

    void registerDefaults(const QVariantMap &defaults);

    // Stored value, else registered default, else invalid.
    [[nodiscard]] QVariant value(const QString &key) const;
    // True when the user store itself holds the key (registered defaults do not count).
    [[nodiscard]] bool containsStored(const QString &key) const;
    void setValue(const QString &key, const QVariant &value);
    void remove(const QString &key);

    [[nodiscard]] bool boolValue(const QString &key, bool fallback) const;
    [[nodiscard]] int intValue(const QString &key, int fallback) const;
    [[nodiscard]] QString stringValue(const QString &key, const QString &fallback) const;
    // Absent when neither stored nor registered, so callers can tell "never written" from "empty".
    [[nodiscard]] std::optional<QStringList> stringListValue(const QString &key) const;
    void setStringList(const QString &key, const QStringList &list);

    // Strict read of a stored Boolean: absent when missing or not a Boolean.
    [[nodiscard]] std::optional<bool> storedBool(const QString &key) const;

    void sync();

Q_SIGNALS:
    void valueChanged(const QString &key);

private:
    std::unique_ptr<QSettings> m_settings;
    QVariantMap m_defaults;
};

} // namespace Vexilo
