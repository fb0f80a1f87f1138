// SPDX-License-Identifier: MIT
#include "MappedFile.h"

#include "SecureMemory.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Vexilo {

MappedFile::~MappedFile()
{
    if (m_map)
        munmap(m_map, size_t(m_size));
    SecureMemory::wipe(m_copy);
}

int MappedFile::openRegular(const QString &path, QString *error, int *errorCode)
{
    auto fail = [&](int code, const QString &reason) {
        *errorCode = code;
        *error = reason.isEmpty() ? QString::fromLocal8Bit(std::strerror(code)) : reason;
        return -1;
    };
    // Not blocking: a FIFO in the file's place must not hang the caller.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return fail(errno, {});
    struct stat info = {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const int code = errno;
        const bool isFile = code == 0 || S_ISREG(info.st_mode);
        ::close(fd);
        if (isFile && code != 0)
            return fail(code, {});
        return S_ISDIR(info.st_mode) ? fail(EISDIR, {}) : fail(EINVAL, QStringLiteral("Not a regular file"));
    }
    return fd;
}

std::optional<QString> MappedFile::openProblem(const QString &path, int *errorCode)
{
    QString error;
    int code = 0;
    const int fd = openRegular(path, &error, &code);
    if (errorCode)
        *errorCode = code;
    if (fd < 0)
        return error;
    ::close(fd);
    return std::nullopt;
}

bool MappedFile::fail(int error)
{
    m_errorCode = error;
    m_error = QString::fromLocal8Bit(std::strerror(error));
    return false;
}

bool MappedFile::open(const QString &path)
{
    const int fd = openRegular(path, &m_error, &m_errorCode);
    if (fd < 0)
        return false;
    struct stat info = {};
    fstat(fd, &info);
    if (info.st_size > 0) {
        void *map = mmap(nullptr, size_t(info.st_size), PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
        if (map != MAP_FAILED) {
            m_map = map;
            m_size = qsizetype(info.st_size);
            ::close(fd);
            return true;
        }
    }
    // Files that cannot be mapped (or report no size, as some special file systems do) are read.
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            m_copy.append(buffer, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        const int error = n < 0 ? errno : 0;
        SecureMemory::wipe(buffer, sizeof buffer);
        ::close(fd);
        return error ? fail(error) : true;
    }
}

QByteArrayView MappedFile::data() const
{
    if (m_map)
        return QByteArrayView(static_cast<const char *>(m_map), m_size);
    return m_copy;
}

} // namespace Vexilo
