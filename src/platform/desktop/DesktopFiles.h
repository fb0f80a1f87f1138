// SPDX-License-Identifier: MIT
#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace Vexilo {

// The installed applications, as their .desktop files describe them. Scanned on first use and again
// whenever one of the search folders changes.
class DesktopFiles
{
public:
    struct Entry
    {
        QString id; // file name without ".desktop"; subfolders joined with "-"
        QString path;
        QString name;
        QString icon;
        QString startupWmClass;
        QString exec;
    };

    // The XDG applications folders, user first.
    DesktopFiles();
    // Folders in order of precedence: an id found in an earlier folder hides the same id later.
    explicit DesktopFiles(QStringList searchPaths);

    [[nodiscard]] QStringList searchPaths() const { return m_searchPaths; }

    [[nodiscard]] std::optional<Entry> entryById(const QString &id) const;
    // The application whose windows carry this WM_CLASS: StartupWMClass matched against the class,
    // then the instance name, before the desktop-file id is; all without regard to case.
    [[nodiscard]] std::optional<Entry> entryForWindowClass(const QString &windowClass,
                                                           const QString &instanceName = {}) const;
    [[nodiscard]] std::optional<Entry> entryForPath(const QString &path) const;

    // Reads one file; absent unless it is an application entry that is not hidden.
    [[nodiscard]] static std::optional<Entry> parse(const QString &path, const QString &id = {});

private:
    void refreshIfStale() const;
    [[nodiscard]] QList<QDateTime> folderStamps() const;

    QStringList m_searchPaths;
    mutable QList<Entry> m_entries;
    mutable QList<QDateTime> m_stamps;
    mutable bool m_loaded = false;
};

} // namespace Vexilo
