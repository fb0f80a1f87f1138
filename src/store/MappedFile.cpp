// SPDX-License-Identifier: MIT
#include "MappedFile.h"

#include <QFile>

#if defined(Q_OS_LINUX)
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace Vexilo {

MappedFile::~MappedFile()
{
#if defined(Q_OS_LINUX)
    if (m_map)
        munmap(m_map, size_t(m_size));
#endif
}

bool MappedFile::open(const QString &path)
{
#if defined(Q_OS_LINUX)
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        struct stat info = {};
        if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
            void *map = mmap(nullptr, size_t(info.st_size), PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
            if (map != MAP_FAILED) {
                m_map = map;
                m_size = qsizetype(info.st_size);
                ::close(fd);
                return true;
            }
        }
        ::close(fd);
    }
#endif
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_error = file.errorString();
        return false;
    }
    m_fallback = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        m_error = file.errorString();
        return false;
    }
    return true;
}

QByteArrayView MappedFile::data() const
{
    if (m_map)
        return QByteArrayView(static_cast<const char *>(m_map), m_size);
    return m_fallback;
}

} // namespace Vexilo
