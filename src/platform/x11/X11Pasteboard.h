// SPDX-License-Identifier: MIT
#pragma once

#include "Pasteboard.h"

#include <QClipboard>

class QMimeData;

namespace Vexilo {

// The CLIPBOARD selection through QClipboard. The primary selection is ignored. Qt stays the owner
// of what this process writes and serves it to other clients until someone else copies.
class X11Pasteboard : public Pasteboard
{
    Q_OBJECT

public:
    explicit X11Pasteboard(QClipboard *clipboard, QObject *parent = nullptr);

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
    void onClipboardChanged(QClipboard::Mode mode);
    void write(QMimeData *data);
    [[nodiscard]] const QMimeData *contents() const;

    QClipboard *m_clipboard;
    qint64 m_changeCount = 0;
    bool m_writing = false;
};

} // namespace Vexilo
