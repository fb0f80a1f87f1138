// SPDX-License-Identifier: MIT
#include "PathExistence.h"

#include <QStringEncoder>
#include <QVarLengthArray>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#if defined(Q_OS_LINUX)
#include <linux/fs.h>
#include <linux/magic.h>
#include <sys/ioctl.h>
#include <sys/vfs.h>
#endif

namespace Vexilo {

namespace {

// Below this many lookups a stat() each is cheaper than reading directories.
constexpr qsizetype listingThreshold = 32;
// How far up the tree a missing directory is looked for in its parents' listings.
constexpr int maxAncestorDepth = 8;

const QByteArray &rootKey()
{
    static const QByteArray key("/");
    return key;
}

// Splits an absolute path at the last "/" after dropping trailing slashes; false when there is no
// name to split off. The parts are raw views into path.
bool splitParent(const QByteArray &path, QByteArray &parent, QByteArray &name)
{
    qsizetype end = path.size();
    while (end > 1 && path[end - 1] == '/')
        --end;
    const qsizetype slash = path.lastIndexOf('/', end - 1);
    if (slash < 0)
        return false;
    parent = slash == 0 ? rootKey() : QByteArray::fromRawData(path.constData(), slash);
    name = QByteArray::fromRawData(path.constData() + slash + 1, end - slash - 1);
    return !name.isEmpty();
}

#if defined(Q_OS_LINUX)
#ifndef FS_CASEFOLD_FL
#define FS_CASEFOLD_FL 0x40000000
#endif
#ifndef F2FS_SUPER_MAGIC
#define F2FS_SUPER_MAGIC 0xF2F52010
#endif

// Local file systems whose directory listings name exactly what a lookup finds, provided the
// directory does not fold case. Everything else (network, FUSE, autofs, procfs, FAT) is stat()ed.
bool hasAuthoritativeListing(int fd)
{
    struct statfs fs = {};
    if (fstatfs(fd, &fs) != 0)
        return false;
    bool canFoldCase = false;
    switch (static_cast<unsigned long>(fs.f_type)) {
    case EXT4_SUPER_MAGIC:
    case F2FS_SUPER_MAGIC:
    case TMPFS_MAGIC:
        canFoldCase = true;
        break;
    case XFS_SUPER_MAGIC:
    case BTRFS_SUPER_MAGIC:
    case OVERLAYFS_SUPER_MAGIC:
    case RAMFS_MAGIC:
        break;
    default:
        return false;
    }
    int flags = 0;
    if (ioctl(fd, FS_IOC_GETFLAGS, &flags) != 0)
        return !canFoldCase || errno == ENOTTY || errno == EOPNOTSUPP;
    return (flags & FS_CASEFOLD_FL) == 0;
}
#endif

} // namespace

PathExistence::PathExistence(qsizetype lookups, Strategy strategy)
{
#if defined(Q_OS_LINUX)
    m_useListings = strategy == Strategy::Listings || (strategy == Strategy::Auto && lookups > listingThreshold);
#else
    Q_UNUSED(strategy)
#endif
    m_listingLimit = std::max<qsizetype>(4096, 8 * lookups);
}

bool PathExistence::statNative(const QByteArray &path)
{
    ++m_statCount;
    struct stat info = {};
    return ::stat(path.constData(), &info) == 0;
}

bool PathExistence::exists(QStringView path)
{
    // A path of PATH_MAX bytes or more cannot be looked up, and a UTF-8 form is never shorter
    // than the UTF-16 one.
    if (!path.startsWith(u'/') || path.size() >= maxPathBytes)
        return false;
    // Encoded on the stack, ASCII without a converter: this runs once per line of a text that may
    // have a million lines.
    QVarLengthArray<char, 1024> buffer(path.size() + 1);
    qsizetype size = 0;
    for (const QChar ch : path) {
        const char16_t c = ch.unicode();
        if (c >= 0x80)
            break;
        if (c == 0)
            return false; // no path holds a NUL
        buffer[size++] = char(c);
    }
    if (size < path.size()) {
        QStringEncoder encoder(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
        buffer.resize(encoder.requiredSpace(path.size()) + 1);
        size = encoder.appendToBuffer(buffer.data(), path) - buffer.data();
        if (size >= maxPathBytes || std::memchr(buffer.data(), 0, size_t(size)))
            return false;
    }
    buffer[size] = '\0';
    const QByteArray native = QByteArray::fromRawData(buffer.data(), size);
    if (!m_useListings)
        return statNative(native);
    QByteArray parent;
    QByteArray name;
    if (!splitParent(native, parent, name))
        return statNative(native);
    const Directory &dir = directory(parent, 0);
    if (dir.state == Directory::State::Missing)
        return false;
    if (dir.state == Directory::State::Listed && !dir.names.contains(name))
        return false;
    // Listed names are confirmed: a broken symlink is listed but does not exist.
    return statNative(native);
}

const PathExistence::Directory &PathExistence::directory(const QByteArray &path, int depth)
{
    static const Directory missing{Directory::State::Missing, {}};
    if (const auto it = m_directories.constFind(path); it != m_directories.constEnd())
        return it.value();
    // A directory that its parent's listing lacks cannot be opened. Deciding that from the cache
    // spares a system call per line when many lines share a missing first component; such answers
    // are cheap to recompute and are not stored.
    QByteArray parent;
    QByteArray name;
    if (depth < maxAncestorDepth && splitParent(path, parent, name) && name != "." && name != "..") {
        const Directory &above = directory(parent, depth + 1);
        if (above.state == Directory::State::Missing ||
            (above.state == Directory::State::Listed && !above.names.contains(name)))
            return missing;
    }
    // The key may be a raw view into a caller's buffer; the stored one must own its bytes.
    const QByteArray key(path.constData(), path.size());
    return m_directories.insert(key, list(key)).value();
}

PathExistence::Directory PathExistence::list(const QByteArray &path) const
{
    Directory dir;
#if defined(Q_OS_LINUX)
    const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        // Whatever is below a path that is missing or not a directory is missing too; other
        // failures (permissions, resources) leave the decision to stat().
        if (errno == ENOENT || errno == ENOTDIR)
            dir.state = Directory::State::Missing;
        return dir;
    }
    if (!hasAuthoritativeListing(fd)) {
        ::close(fd);
        return dir;
    }
    DIR *stream = ::fdopendir(fd);
    if (!stream) {
        ::close(fd);
        return dir;
    }
    dir.state = Directory::State::Listed;
    for (;;) {
        errno = 0;
        const dirent *entry = ::readdir(stream);
        if (!entry) {
            if (errno != 0)
                dir.state = Directory::State::Unlisted;
            break;
        }
        // A huge directory costs more to read than the lookups it would save.
        if (dir.names.size() >= m_listingLimit) {
            dir.state = Directory::State::Unlisted;
            break;
        }
        dir.names.insert(QByteArray(entry->d_name));
    }
    if (dir.state != Directory::State::Listed)
        dir.names.clear();
    ::closedir(stream);
#else
    Q_UNUSED(path)
#endif
    return dir;
}

} // namespace Vexilo
