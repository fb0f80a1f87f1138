// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QObject>
#include <QStringList>
#include <optional>

namespace Vexilo {

// The desktop's clipboard, as the monitor and the paste service use it. Every write replaces the
// whole contents; the change count moves with every replacement, by anyone.
class Pasteboard : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    [[nodiscard]] virtual qint64 changeCount() const = 0;
    // MIME types of the current contents, pseudo-targets such as TARGETS left out.
    [[nodiscard]] virtual QStringList types() const = 0;
    // Local paths of the file URLs ("text/uri-list", file: URLs only), in order.
    [[nodiscard]] virtual QStringList fileUrlPaths() const = 0;
    // The file list of file managers ("x-special/gnome-copied-files"), when present.
    [[nodiscard]] virtual std::optional<QStringList> legacyFileNames() const = 0;
    [[nodiscard]] virtual QList<QImage> images() const = 0;
    [[nodiscard]] virtual std::optional<QString> string() const = 0;

    virtual void clearContents() = 0;
    virtual void setString(const QString &text) = 0;
    virtual void writeFileUrls(const QStringList &paths) = 0;
    virtual void writeImage(const QImage &image) = 0;

Q_SIGNALS:
    // The contents were replaced; lets the monitor check at once instead of at its next poll.
    void changed();
};

} // namespace Vexilo
