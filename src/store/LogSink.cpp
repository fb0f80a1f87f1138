// SPDX-License-Identifier: MIT
#include "LogSink.h"

#include <QMutex>
#include <cstdio>

namespace Vexilo {

namespace {
LogSink fileLog(FILE *stream)
{
    return [stream](const QString &line) {
        // Lines come from the main thread and the persistence thread.
        static QMutex mutex;
        QMutexLocker lock(&mutex);
        const QByteArray bytes = line.toUtf8() + '\n';
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
        std::fflush(stream);
    };
}
} // namespace

LogSink standardOutputLog()
{
    return fileLog(stdout);
}

LogSink standardErrorLog()
{
    return fileLog(stderr);
}

} // namespace Vexilo
