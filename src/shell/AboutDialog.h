// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class QMessageBox;

namespace Vexilo::AboutDialog {

// The About box: logo, name, version "short (build)", licence and the web site. Deleted on close.
[[nodiscard]] QMessageBox *create(const QString &shortVersion, qint64 build);

} // namespace Vexilo::AboutDialog
