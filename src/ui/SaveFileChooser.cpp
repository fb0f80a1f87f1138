// SPDX-License-Identifier: MIT
#include "SaveFileChooser.h"

#include <QDir>
#include <QStandardPaths>

namespace Vexilo {

void SaveFileChooser::choosePngLocation(const QString &suggestedName, Answer answer)
{
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    chooseSaveLocation({suggestedName, QStringLiteral("PNG images (*.png)"), QStringLiteral("png"),
                        QDir(pictures).exists() ? pictures : QDir::homePath()},
                       std::move(answer));
}

} // namespace Vexilo
