// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

namespace Vexilo {

// The whole content of a file, read-only. Mapped into memory where possible: reading a large history
// then costs neither a copy nor a page fault per 4 KB.
class MappedFile
{
public:
    MappedFile() = default;
    ~MappedFile();
    MappedFile(const MappedFile &) = delete;
    MappedFile &operator=(const MappedFile &) = delete;

    // False with errorString() set when the file cannot be opened or read.
    bool open(const QString &path);
    [[nodiscard]] QByteArrayView data() const;
    [[nodiscard]] QString errorString() const { return m_error; }

private:
    void *m_map = nullptr;
    qsizetype m_size = 0;
    QByteArray m_fallback;
    QString m_error;
};

} // namespace Vexilo
