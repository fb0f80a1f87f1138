// SPDX-License-Identifier: MIT
#pragma once

#include <QHash>
#include <QSet>
#include <QStringList>
#include <optional>

namespace Vexilo {

// The arguments of one command: positional values, flags ("--json") and options with a value
// ("--limit 5" or "--limit=5"). "--" ends the options, so a text may start with a dash; "-" alone
// is a positional value.
class ArgumentList
{
public:
    ArgumentList(QStringList arguments, QStringList valueOptions);

    bool parse();
    [[nodiscard]] QString errorString() const { return m_error; }

    [[nodiscard]] const QStringList &positional() const { return m_positional; }
    [[nodiscard]] bool hasFlag(const QString &name) const { return m_flags.contains(name); }
    [[nodiscard]] std::optional<QString> value(const QString &name) const;
    // The first flag not in allowed ("help" is always allowed), or empty.
    [[nodiscard]] QString unknownFlag(const QStringList &allowed) const;

private:
    QStringList m_arguments;
    QStringList m_valueOptions;
    QStringList m_positional;
    QStringList m_flags;
    QHash<QString, QString> m_values;
    QString m_error;
};

} // namespace Vexilo
