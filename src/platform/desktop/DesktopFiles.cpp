// SPDX-License-Identifier: MIT
#include "DesktopFiles.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSet>
#include <QStandardPaths>

namespace Vexilo {

namespace {

const QString desktopSuffix = QStringLiteral(".desktop");

QString unescape(const QString &value)
{
    QString result;
    result.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != u'\\' || i + 1 == value.size()) {
            result.append(c);
            continue;
        }
        const QChar next = value.at(++i);
        switch (next.unicode()) {
        case u's':
            result.append(u' ');
            break;
        case u'n':
            result.append(u'\n');
            break;
        case u't':
            result.append(u'\t');
            break;
        case u'r':
            result.append(u'\r');
            break;
        default:
            result.append(next);
        }
    }
    return result;
}

// "Name[de_DE]" before "Name[de]" before "Name", for the current default locale.
int localeRank(const QString &localeTag, const QString &localeName)
{
    if (localeTag.isEmpty())
        return 1;
    if (localeTag == localeName)
        return 3;
    if (localeTag == localeName.section(u'_', 0, 0))
        return 2;
    return 0;
}

} // namespace

DesktopFiles::DesktopFiles()
    : DesktopFiles(QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation))
{ }

DesktopFiles::DesktopFiles(QStringList searchPaths)
    : m_searchPaths(std::move(searchPaths))
{ }

std::optional<DesktopFiles::Entry> DesktopFiles::parse(const QString &path, const QString &id)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    Entry entry;
    entry.path = path;
    entry.id = id.isEmpty() ? QFileInfo(path).completeBaseName() : id;
    const QString localeName = QLocale().name();
    int nameRank = 0;
    bool inMainGroup = false;
    bool isApplication = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            inMainGroup = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        if (!inMainGroup)
            continue;
        const qsizetype equals = line.indexOf(u'=');
        if (equals <= 0)
            continue;
        QString key = line.left(equals).trimmed();
        const QString value = unescape(line.mid(equals + 1).trimmed());
        QString localeTag;
        if (const qsizetype bracket = key.indexOf(u'['); bracket > 0 && key.endsWith(u']')) {
            localeTag = key.mid(bracket + 1, key.size() - bracket - 2);
            key.truncate(bracket);
        }
        if (key == QLatin1String("Name")) {
            if (const int rank = localeRank(localeTag, localeName); rank > nameRank) {
                entry.name = value;
                nameRank = rank;
            }
        } else if (!localeTag.isEmpty()) {
            continue;
        } else if (key == QLatin1String("Type")) {
            isApplication = value == QLatin1String("Application");
        } else if (key == QLatin1String("Hidden")) {
            // A hidden entry counts as deleted.
            if (value == QLatin1String("true"))
                return std::nullopt;
        } else if (key == QLatin1String("Icon")) {
            entry.icon = value;
        } else if (key == QLatin1String("StartupWMClass")) {
            entry.startupWmClass = value;
        } else if (key == QLatin1String("Exec")) {
            entry.exec = value;
        }
    }
    if (!isApplication)
        return std::nullopt;
    return entry;
}

QList<QDateTime> DesktopFiles::folderStamps() const
{
    QList<QDateTime> stamps;
    for (const QString &folder : m_searchPaths)
        stamps.append(QFileInfo(folder).lastModified());
    return stamps;
}

void DesktopFiles::refreshIfStale() const
{
    QList<QDateTime> stamps = folderStamps();
    if (m_loaded && stamps == m_stamps)
        return;
    m_entries.clear();
    QSet<QString> seenIds;
    for (const QString &folder : m_searchPaths) {
        const QString prefix = folder.endsWith(u'/') ? folder : folder + u'/';
        QDirIterator it(folder, {QStringLiteral("*.desktop")}, QDir::Files | QDir::Readable,
                        QDirIterator::Subdirectories | QDirIterator::FollowSymlinks);
        QStringList paths;
        while (it.hasNext())
            paths.append(it.next());
        paths.sort();
        for (const QString &path : std::as_const(paths)) {
            QString id = path.mid(prefix.size());
            id.chop(desktopSuffix.size());
            id.replace(u'/', u'-');
            if (seenIds.contains(id))
                continue;
            // A hidden or broken file still hides the same id in later folders.
            seenIds.insert(id);
            if (auto entry = parse(path, id))
                m_entries.append(std::move(*entry));
        }
    }
    m_stamps = std::move(stamps);
    m_loaded = true;
}

std::optional<DesktopFiles::Entry> DesktopFiles::entryById(const QString &id) const
{
    if (id.isEmpty())
        return std::nullopt;
    refreshIfStale();
    for (const Entry &entry : std::as_const(m_entries)) {
        if (entry.id == id)
            return entry;
    }
    return std::nullopt;
}

std::optional<DesktopFiles::Entry> DesktopFiles::entryForWindowClass(const QString &windowClass,
                                                                     const QString &instanceName) const
{
    refreshIfStale();
    QStringList names;
    for (const QString &name : {windowClass, instanceName}) {
        if (!name.isEmpty())
            names.append(name);
    }
    for (const auto field : {&Entry::startupWmClass, &Entry::id}) {
        for (const QString &name : std::as_const(names)) {
            for (const Entry &entry : std::as_const(m_entries)) {
                if ((entry.*field).compare(name, Qt::CaseInsensitive) == 0)
                    return entry;
            }
        }
    }
    return std::nullopt;
}

std::optional<DesktopFiles::Entry> DesktopFiles::entryForPath(const QString &path) const
{
    if (path.isEmpty())
        return std::nullopt;
    refreshIfStale();
    for (const Entry &entry : std::as_const(m_entries)) {
        if (entry.path == path)
            return entry;
    }
    return parse(path);
}

} // namespace Vexilo
