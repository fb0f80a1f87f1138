// SPDX-License-Identifier: MIT
#pragma once

#include "Pasteboard.h"

namespace Vexilo {

// A clipboard in memory. Tests put contents on it as another application would, and read back what
// the code under test wrote.
class FakePasteboard : public Pasteboard
{
    Q_OBJECT

public:
    struct Contents
    {
        QStringList types;
        QStringList fileUrlPaths;
        std::optional<QStringList> legacyFileNames;
        QList<QImage> images;
        std::optional<QString> string;
    };

    using Pasteboard::Pasteboard;

    // Another application replaced the contents: the count moves and, when `announce`, changed() is
    // emitted (a desktop may miss telling).
    void setContents(const Contents &contents, bool announce = true);
    // Shorthand for plain text, with extra marker types if given.
    void setText(const QString &text, const QStringList &extraTypes = {});

    [[nodiscard]] const Contents &contents() const { return m_contents; }
    // One entry per write made through the interface: "clear", "string:<text>", "files:<p1>|<p2>",
    // "image:<w>x<h>".
    [[nodiscard]] const QStringList &writes() const { return m_writes; }
    void clearWrites() { m_writes.clear(); }
    // How many times the contents (anything but the change count) were read.
    [[nodiscard]] int contentReads() const { return m_contentReads; }

    [[nodiscard]] qint64 changeCount() const override { return m_changeCount; }
    [[nodiscard]] QStringList types() const override;
    [[nodiscard]] QStringList fileUrlPaths() const override;
    [[nodiscard]] std::optional<QStringList> legacyFileNames() const override;
    [[nodiscard]] QList<QImage> images() const override;
    [[nodiscard]] std::optional<QString> string() const override;

    void clearContents() override;
    void setString(const QString &text) override;
    void writeFileUrls(const QStringList &paths) override;
    void writeImage(const QImage &image) override;

private:
    void replace(const Contents &contents, bool announce = true);

    Contents m_contents;
    qint64 m_changeCount = 1;
    QStringList m_writes;
    mutable int m_contentReads = 0;
};

} // namespace Vexilo
