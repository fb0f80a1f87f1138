// SPDX-License-Identifier: MIT
#pragma once

#include <QDeadlineTimer>
#include <QHash>
#include <QIcon>
#include <QQuickImageProvider>
#include <functional>
#include <optional>

namespace Vexilo {

// "image://appicon/<application id>": the icon of the application a clip came from; an empty image
// when there is none, so that the row shows its type tile instead.
class AppIconProvider : public QQuickImageProvider
{
public:
    using Lookup = std::function<std::optional<QIcon>(const QString &bundleId)>;

    explicit AppIconProvider(Lookup lookup);

    QPixmap requestPixmap(const QString &id, QSize *size, const QSize &requestedSize) override;

private:
    Lookup m_lookup;
    // Rows ask for the same few applications again and again, and looking one up reads desktop
    // files: found icons are kept, and misses for a while, so that scrolling never waits on disk.
    QHash<QString, QPixmap> m_found;
    QHash<QString, QDeadlineTimer> m_missing;
};

} // namespace Vexilo
