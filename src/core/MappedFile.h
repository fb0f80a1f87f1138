// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace Vexilo {

// The whole content of a regular file, read-only. Mapped into memory where possible: reading a large
// history then costs neither a copy nor a page fault per 4 KB. A read copy is wiped when released.
class MappedFile
{
public:
    MappedFile() = default;
    ~MappedFile();
    MappedFile(const MappedFile &) = delete;
    MappedFile &operator=(const MappedFile &) = delete;

    // False with errorString() set to the system's reason ("Permission denied", "Is a directory",
    // "Too many open files"...) when the file cannot be opened or read.
    bool open(const QString &path);
    [[nodiscard]] QByteArrayView data() const;
    [[nodiscard]] QString errorString() const { return m_error; }
    // The errno value behind errorString(); ENOENT tells a missing file from an unreadable one.
    [[nodiscard]] int errorCode() const { return m_errorCode; }

    // The same checks without reading anything: nothing when the file can be opened for reading.
    [[nodiscard]] static std::optional<QString> openProblem(const QString &path, int *errorCode = nullptr);

private:
    bool fail(int error);
    // An open descriptor of the regular file at path, or -1 with the reason.
    static int openRegular(const QString &path, QString *error, int *errorCode);

    void *m_map = nullptr;
    qsizetype m_size = 0;
    QByteArray m_copy;
    QString m_error;
    int m_errorCode = 0;
};

} // namespace Vexilo
