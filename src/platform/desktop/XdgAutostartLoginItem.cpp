// SPDX-License-Identifier: MIT
#include "XdgAutostartLoginItem.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

namespace Vexilo {

XdgAutostartLoginItem::XdgAutostartLoginItem(QString executablePath, QString autostartFolder)
    : m_executablePath(std::move(executablePath))
    , m_folder(std::move(autostartFolder))
{ }

QString XdgAutostartLoginItem::defaultFolder()
{
    // GenericConfigLocation follows XDG_CONFIG_HOME.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/autostart");
}

QString XdgAutostartLoginItem::entryPath() const
{
    return m_folder + QStringLiteral("/vexilo.desktop");
}

QString XdgAutostartLoginItem::execValue(const QString &executablePath)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool needsQuotes = false;
    for (const QChar c : executablePath)
        needsQuotes = needsQuotes || reserved.contains(c);
    QString value;
    if (needsQuotes) {
        // Inside quotes, ", `, $ and \ take a backslash.
        value = u'"';
        for (const QChar c : executablePath) {
            if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
                value += u'\\';
            value += c;
        }
        value += u'"';
    } else {
        value = executablePath;
    }
    // Field codes start with %; a literal one is doubled. Then the string escapes of the file format.
    value.replace(u'%', QStringLiteral("%%"));
    value.replace(u'\\', QStringLiteral("\\\\"));
    value.replace(u'\n', QStringLiteral("\\n"));
    return value;
}

bool XdgAutostartLoginItem::isEnabled() const
{
    QFile file(entryPath());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    bool inMainGroup = false;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        if (line.startsWith('[')) {
            inMainGroup = line == "[Desktop Entry]";
            continue;
        }
        if (!inMainGroup)
            continue;
        const qsizetype equals = line.indexOf('=');
        if (equals <= 0)
            continue;
        const QByteArray key = line.left(equals).trimmed();
        const QByteArray value = line.mid(equals + 1).trimmed();
        // Desktops honour both ways of switching an entry off without deleting it.
        if ((key == "Hidden" && value == "true") || (key == "X-GNOME-Autostart-enabled" && value == "false"))
            return false;
    }
    return true;
}

QString XdgAutostartLoginItem::enable()
{
    if (!QDir().mkpath(m_folder))
        return QStringLiteral("Could not create the folder %1").arg(m_folder);
    QSaveFile file(entryPath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return QStringLiteral("Could not write %1: %2").arg(entryPath(), file.errorString());
    const QString contents = QStringLiteral("[Desktop Entry]\n"
                                            "Type=Application\n"
                                            "Name=Vexilo\n"
                                            "Exec=%1\n"
                                            "X-GNOME-Autostart-enabled=true\n")
                                 .arg(execValue(m_executablePath));
    file.write(contents.toUtf8());
    if (!file.commit())
        return QStringLiteral("Could not write %1: %2").arg(entryPath(), file.errorString());
    return {};
}

QString XdgAutostartLoginItem::disable()
{
    QFile file(entryPath());
    if (!file.exists())
        return {};
    if (!file.remove())
        return QStringLiteral("Could not remove %1: %2").arg(entryPath(), file.errorString());
    return {};
}

} // namespace Vexilo
