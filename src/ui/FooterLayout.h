// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QtQml/qqmlregistration.h>

namespace Vexilo {

// Which of the detail footer's three button rows to show: the widest one that fits.
class FooterLayout : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    enum Layout { Regular, Compact, IconsOnly };
    Q_ENUM(Layout)

    using QObject::QObject;

    // The widths are what each row needs, spacing included; the icon row is the fallback.
    [[nodiscard]] static Layout choose(qreal availableWidth, qreal requiredRegular, qreal requiredCompact);
    Q_INVOKABLE int layoutFor(qreal availableWidth, qreal requiredRegular, qreal requiredCompact) const
    {
        return choose(availableWidth, requiredRegular, requiredCompact);
    }
    // Spacing between the buttons of each row.
    Q_INVOKABLE qreal spacing(int layout) const;
};

} // namespace Vexilo
