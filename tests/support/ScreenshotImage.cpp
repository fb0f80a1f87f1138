// SPDX-License-Identifier: MIT
#include "ScreenshotImage.h"

#include <QPainter>
#include <QStringList>

namespace Vexilo::Test {

QString screenshotLine(int i)
{
    static const QStringList names = {QStringLiteral("Anna"), QStringLiteral("Boris"), QStringLiteral("Chen"),
                                      QStringLiteral("Dalia"), QStringLiteral("Emil")};
    return QStringLiteral("Invoice %1 for %2 was paid on March %3 by bank transfer")
        .arg(4810 + i * 7)
        .arg(names.at(i % names.size()))
        .arg(i % 28 + 1);
}

QImage screenshot()
{
    static const QStringList sidebar = {QStringLiteral("Inbox"), QStringLiteral("Drafts"),
                                        QStringLiteral("Sent"),  QStringLiteral("Archive"),
                                        QStringLiteral("Spam"),  QStringLiteral("Projects")};
    QImage image(1920, 1080, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.fillRect(0, 0, 1920, 40, QColor(0xEC, 0xEC, 0xEC));
    painter.fillRect(0, 40, 300, 1040, QColor(0xF4, 0xF4, 0xF8));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(16);
    painter.setFont(font);
    painter.setPen(QColor(0x20, 0x20, 0x20));
    painter.drawText(860, 26, QStringLiteral("Quarterly Report"));
    for (int i = 0; i < sidebar.size(); ++i)
        painter.drawText(30, 80 + i * 32, sidebar.at(i));
    for (int i = 0; i < 32; ++i)
        painter.drawText(340, 80 + i * 30, screenshotLine(i));
    font.setPixelSize(14);
    painter.setFont(font);
    painter.setPen(QColor(0x70, 0x70, 0x70));
    for (int i = 0; i < 32; i += 4)
        painter.drawText(1500, 80 + i * 30, QStringLiteral("March %1, 2024").arg(i % 28 + 1));
    return image;
}

} // namespace Vexilo::Test
