// SPDX-License-Identifier: MIT
#include "ArgumentList.h"

namespace Vexilo {

ArgumentList::ArgumentList(QStringList arguments, QStringList valueOptions)
    : m_arguments(std::move(arguments))
    , m_valueOptions(std::move(valueOptions))
{ }

bool ArgumentList::parse()
{
    bool optionsEnded = false;
    for (qsizetype i = 0; i < m_arguments.size(); ++i) {
        const QString &arg = m_arguments.at(i);
        if (optionsEnded || !arg.startsWith(u"--")) {
            if (!optionsEnded && arg.size() > 1 && arg.startsWith(u'-')) {
                m_error = QStringLiteral("unknown option %1").arg(arg);
                return false;
            }
            m_positional.append(arg);
            continue;
        }
        if (arg == u"--") {
            optionsEnded = true;
            continue;
        }
        QString name = arg.mid(2);
        std::optional<QString> inlineValue;
        if (const qsizetype eq = name.indexOf(u'='); eq >= 0) {
            inlineValue = name.mid(eq + 1);
            name.truncate(eq);
        }
        if (m_valueOptions.contains(name)) {
            if (inlineValue) {
                m_values.insert(name, *inlineValue);
            } else if (i + 1 < m_arguments.size()) {
                m_values.insert(name, m_arguments.at(++i));
            } else {
                m_error = QStringLiteral("--%1 needs a value").arg(name);
                return false;
            }
        } else {
            if (inlineValue) {
                m_error = QStringLiteral("--%1 takes no value").arg(name);
                return false;
            }
            m_flags.append(name);
        }
    }
    return true;
}

std::optional<QString> ArgumentList::value(const QString &name) const
{
    const auto it = m_values.constFind(name);
    if (it == m_values.constEnd())
        return std::nullopt;
    return *it;
}

QString ArgumentList::unknownFlag(const QStringList &allowed) const
{
    for (const QString &flag : m_flags) {
        if (flag != u"help" && !allowed.contains(flag))
            return flag;
    }
    return {};
}

} // namespace Vexilo
