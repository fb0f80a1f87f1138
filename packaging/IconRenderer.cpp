// SPDX-License-Identifier: MIT
// Draws the logo SVG as the PNG sizes of the hicolor icon theme:
//   vexilo_icon_renderer LOGO.svg FOLDER NAME SIZE...  ->  FOLDER/<SIZE>x<SIZE>/apps/NAME.png
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s LOGO.svg FOLDER NAME SIZE...\n", argv[0]);
        return 1;
    }
    QSvgRenderer logo(QString::fromLocal8Bit(argv[1]));
    if (!logo.isValid()) {
        std::fprintf(stderr, "%s: cannot read %s\n", argv[0], argv[1]);
        return 1;
    }
    const QDir folder(QString::fromLocal8Bit(argv[2]));
    const QString name = QString::fromLocal8Bit(argv[3]);
    for (int i = 4; i < argc; ++i) {
        const int size = QByteArray(argv[i]).toInt();
        if (size <= 0) {
            std::fprintf(stderr, "%s: not a size: %s\n", argv[0], argv[i]);
            return 1;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        logo.render(&painter, QRectF(0, 0, size, size));
        painter.end();
        const QString sizeFolder = QStringLiteral("%1x%1/apps").arg(size);
        const QString path = folder.filePath(sizeFolder + u'/' + name + QStringLiteral(".png"));
        if (!folder.mkpath(sizeFolder) || !image.save(path, "PNG")) {
            std::fprintf(stderr, "%s: cannot write %s\n", argv[0], qPrintable(path));
            return 1;
        }
    }
    return 0;
}
