// SPDX-License-Identifier: MIT
#include "AboutDialog.h"

#include "AppLogo.h"

#include <QMessageBox>
#include <QPainter>

namespace Vexilo::AboutDialog {

QMessageBox *create(const QString &shortVersion, qint64 build)
{
    auto *box = new QMessageBox;
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setObjectName(QStringLiteral("aboutDialog"));
    box->setWindowTitle(QStringLiteral("About Vexilo"));
    if (AppLogo::isAvailable()) {
        QPixmap logo(64, 64);
        logo.fill(Qt::transparent);
        QPainter painter(&logo);
        painter.setRenderHint(QPainter::Antialiasing);
        AppLogo::paint(painter, QRectF(0, 0, 64, 64), 14);
        painter.end();
        box->setIconPixmap(logo);
    }
    box->setTextFormat(Qt::RichText);
    box->setText(QStringLiteral("<h3>Vexilo</h3><p>Version %1 (%2)</p>").arg(shortVersion.toHtmlEscaped()).arg(build));
    box->setInformativeText(QStringLiteral("<p>A clipboard history for the Linux desktop.</p>"
                                           "<p>Released under the MIT License.</p>"
                                           "<p><a href=\"https://vexilo.app\">vexilo.app</a></p>"));
    box->setTextInteractionFlags(Qt::TextBrowserInteraction);
    box->setStandardButtons(QMessageBox::Close);
    return box;
}

} // namespace Vexilo::AboutDialog
