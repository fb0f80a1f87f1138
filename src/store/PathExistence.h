// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QStringView>

#include <climits>
#include <optional>

namespace Vexilo {

// Answers "does something exist at this absolute path" (stat() semantics: symlinks followed) for
// many paths. With many lookups it reads each parent directory once and only stats names that are
// listed there, because a stat() per line is far too slow for a text of 100,000 lines. Directories
// whose listing might not be authoritative (case-folding, network or virtual file systems) are
// always stat()ed.
class PathExistence
{
public:
    enum class Strategy : quint8 { Auto, StatOnly, Listings };

    // Paths of this many bytes or more cannot be looked up (ENAMETOOLONG).
#if defined(PATH_MAX)
    static constexpr qsizetype maxPathBytes = PATH_MAX;
#else
    static constexpr qsizetype maxPathBytes = 4096;
#endif

    // lookups is about how many paths will be asked for, or an upper bound of that.
    explicit PathExistence(qsizetype lookups, Strategy strategy = Strategy::Auto);

    // False for anything but an absolute path: a relative one means nothing once it is recorded.
    [[nodiscard]] bool exists(QStringView path);

    // Number of stat() calls so far; lets tests check that listings are really used.
    [[nodiscard]] qsizetype statCount() const
    {
        return m_statCount;
    }

private:
    struct Directory
    {
        enum class State : quint8 { Missing, Listed, Unlisted };
        State state = State::Unlisted;
        QSet<QByteArray> names;
    };

    [[nodiscard]] bool statNative(const QByteArray &path);
    const Directory &directory(const QByteArray &path, int depth);
    Directory list(const QByteArray &path) const;

    bool m_useListings = false;
    qsizetype m_listingLimit = 0;
    qsizetype m_statCount = 0;
    QHash<QByteArray, Directory> m_directories;
};

} // namespace Vexilo
