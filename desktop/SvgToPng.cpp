// SPDX-License-Identifier: GPL-3.0-or-later
// Build tool: renders the application's SVG icon into a square PNG of the hicolor theme.
//   stavio-svg-to-png IN.svg OUT.png SIZE

#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    bool sizeOk = false;
    const int size = arguments.size() == 4 ? arguments[3].toInt(&sizeOk) : 0;
    if (!sizeOk || size <= 0) {
        std::fputs("usage: stavio-svg-to-png IN.svg OUT.png SIZE\n", stderr);
        return 2;
    }
    QSvgRenderer renderer(arguments[1]);
    if (!renderer.isValid()) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(arguments[1]));
        return 1;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    painter.end();
    // No time stamp or gamma chunk beyond Qt's defaults: the same SVG gives the same bytes.
    if (!image.save(arguments[2], "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(arguments[2]));
        return 1;
    }
    return 0;
}
