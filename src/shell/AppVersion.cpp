// SPDX-License-Identifier: MIT
#include "AppVersion.h"

#include "StrictInteger.h"

namespace Vexilo::AppVersion {

QString shortVersion()
{
    const QString version = QStringLiteral(VEXILO_VERSION);
    return version.isEmpty() ? QStringLiteral("0") : version;
}

qint64 build()
{
    return parseBuild(QStringLiteral(VEXILO_BUILD));
}

qint64 parseBuild(const QString &text)
{
    return parseStrictInteger(text).value_or(0);
}

} // namespace Vexilo::AppVersion
