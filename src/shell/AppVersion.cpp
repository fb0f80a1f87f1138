// SPDX-License-Identifier: MIT
#include "AppVersion.h"

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
    qsizetype start = 0;
    if (text.startsWith(u'+') || text.startsWith(u'-'))
        start = 1;
    if (start >= text.size())
        return 0;
    for (qsizetype i = start; i < text.size(); ++i) {
        if (text.at(i) < u'0' || text.at(i) > u'9')
            return 0;
    }
    bool ok = false;
    const qint64 value = QStringView(text).sliced(text.startsWith(u'+') ? 1 : 0).toLongLong(&ok);
    return ok ? value : 0;
}

} // namespace Vexilo::AppVersion
