// SPDX-License-Identifier: MIT
#pragma once

#include "Pasteboard.h"
#include "WaylandConnection.h"

#include <QHash>
#include <functional>
#include <memory>

namespace Vexilo {

// The regular selection of a wlroots-style compositor through wlr data-control, on a Wayland
// connection of its own, so it needs no focused surface. The primary selection is ignored. Offers
// are read asynchronously into a snapshot, because our own source is served on this same thread.
// What this process writes is offered until another client copies; when a source exits, the
// compositor clears the selection and the snapshot keeps the last contents.
class WaylandPasteboard : public Pasteboard
{
    Q_OBJECT

public:
    // Null when there is no Wayland display or it lacks data-control, so callers can fall back.
    // An empty display name means $WAYLAND_DISPLAY. Ignores SIGPIPE process-wide: a reader that
    // closes its pipe early must not kill us while we serve it.
    [[nodiscard]] static std::unique_ptr<WaylandPasteboard> create(LogSink log = {}, const QString &displayName = {});
    ~WaylandPasteboard() override;

    [[nodiscard]] qint64 changeCount() const override { return m_changeCount; }
    [[nodiscard]] QStringList types() const override { return m_snapshot.types; }
    [[nodiscard]] QStringList fileUrlPaths() const override;
    [[nodiscard]] std::optional<QStringList> legacyFileNames() const override;
    [[nodiscard]] QList<QImage> images() const override;
    [[nodiscard]] std::optional<QString> string() const override;

    void clearContents() override;
    void setString(const QString &text) override;
    void writeFileUrls(const QStringList &paths) override;
    void writeImage(const QImage &image) override;

    // How long an offer's owner may take to deliver all chosen types before the copy is dropped.
    void setReadTimeout(int milliseconds);

    // The MIME types worth reading from an offer, in reading order.
    [[nodiscard]] static QStringList typesToRead(const QStringList &offered);

private:
    struct Snapshot
    {
        QStringList types;
        QHash<QString, QByteArray> data;
    };
    struct Connection;

    explicit WaylandPasteboard(std::unique_ptr<Connection> connection);
    void commitRead(const Snapshot &snapshot, bool silent);
    void write(const Snapshot &snapshot);

    std::unique_ptr<Connection> m_connection;
    Snapshot m_snapshot;
    qint64 m_changeCount = 0;
};

} // namespace Vexilo
