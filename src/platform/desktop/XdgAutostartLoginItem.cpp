// SPDX-License-Identifier: MIT
#include "XdgAutostartLoginItem.h"

#include "ApplicationId.h"
#include "DesktopFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace Vexilo {

namespace {

// Whether the entry at path is switched on (absent counts as off).
bool entryEnabled(const QString &path)
{
    QFile file(path);
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

QString removeFile(const QString &path)
{
    QFile file(path);
    if (!file.exists() || file.remove())
        return {};
    return QStringLiteral("Could not remove %1: %2").arg(path, file.errorString());
}

} // namespace

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
    return m_folder + u'/' + applicationId() + QStringLiteral(".desktop");
}

QString XdgAutostartLoginItem::legacyEntryPath() const
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

QString XdgAutostartLoginItem::programOf(const QString &exec)
{
    QString program;
    if (exec.startsWith(u'"')) {
        for (qsizetype i = 1; i < exec.size() && exec.at(i) != u'"'; ++i) {
            if (exec.at(i) == u'\\' && i + 1 < exec.size())
                ++i;
            program += exec.at(i);
        }
    } else {
        program = exec.section(u' ', 0, 0);
    }
    return program.replace(QStringLiteral("%%"), QStringLiteral("%"));
}

bool XdgAutostartLoginItem::isInstalled(const QString &executablePath)
{
    const QDir bin = QFileInfo(executablePath).absoluteDir();
    const QString entry = QStringLiteral("../share/applications/%1.desktop").arg(applicationId());
    return bin.dirName() == u"bin" && QFileInfo::exists(bin.filePath(entry));
}

bool XdgAutostartLoginItem::hasLegacyEntry() const
{
    // Only an entry this program wrote, one that starts a program of ours; a hidden one starts nothing.
    const auto entry = DesktopFiles::parse(legacyEntryPath());
    if (!entry)
        return false;
    const QString program = QFileInfo(programOf(entry->exec)).fileName();
    return entry->name == u"Vexilo" && (program == u"vexilo" || program == u"vexilo-app");
}

bool XdgAutostartLoginItem::isEnabled() const
{
    if (QFile::exists(entryPath()))
        return entryEnabled(entryPath());
    return hasLegacyEntry() && entryEnabled(legacyEntryPath());
}

bool XdgAutostartLoginItem::isUpToDate() const
{
    if (hasLegacyEntry())
        return false;
    const auto entry = DesktopFiles::parse(entryPath());
    if (!entry)
        return true;
    const QString program = programOf(entry->exec);
    if (program == m_executablePath)
        return true;
    return !isInstalled(m_executablePath) && isInstalled(program) && QFileInfo(program).isExecutable();
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
                                            "Icon=%2\n"
                                            "X-GNOME-Autostart-enabled=true\n")
                                 .arg(execValue(m_executablePath), applicationId());
    file.write(contents.toUtf8());
    if (!file.commit())
        return QStringLiteral("Could not write %1: %2").arg(entryPath(), file.errorString());
    return hasLegacyEntry() ? removeFile(legacyEntryPath()) : QString();
}

QString XdgAutostartLoginItem::disable()
{
    if (hasLegacyEntry()) {
        if (const QString error = removeFile(legacyEntryPath()); !error.isEmpty())
            return error;
    }
    return removeFile(entryPath());
}

} // namespace Vexilo
