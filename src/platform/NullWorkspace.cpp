// SPDX-License-Identifier: MIT
#include "NullWorkspace.h"

#include <QDesktopServices>
#include <QFileInfo>

namespace Vexilo {

bool NullWorkspace::openUrl(const QUrl &url)
{
    return QDesktopServices::openUrl(url);
}

bool NullWorkspace::revealFile(const QString &path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absolutePath()));
}

} // namespace Vexilo
