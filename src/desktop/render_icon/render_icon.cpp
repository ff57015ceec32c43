// Draws the program's icon from its SVG at build time, so that the program starts without an SVG
// renderer or an image decoder: render_icon ORDER SVG OUTPUT_DIR SIDE... writes
// OUTPUT_DIR/SIDE.argb each, the SIDE x SIDE pixels as Qt holds premultiplied ARGB32, row after
// row, each pixel a 32-bit word in ORDER (BIG_ENDIAN or LITTLE_ENDIAN): the byte order of the
// machine the program is for, which in a cross build is not the one this tool runs on.

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QtEndian>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    const bool big = argc > 1 && std::strcmp(argv[1], "BIG_ENDIAN") == 0;
    if (argc < 5 || (!big && std::strcmp(argv[1], "LITTLE_ENDIAN") != 0)) {
        std::fputs("usage: render_icon BIG_ENDIAN|LITTLE_ENDIAN SVG OUTPUT_DIR SIDE...\n", stderr);
        return 2;
    }
    QGuiApplication app(argc, argv);
    QSvgRenderer svg(QString::fromLocal8Bit(argv[2]));
    if (!svg.isValid()) {
        std::fprintf(stderr, "render_icon: cannot read %s\n", argv[2]);
        return 1;
    }
    for (int i = 4; i < argc; ++i) {
        const int side = QByteArray(argv[i]).toInt();
        QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
        if (side <= 0 || image.bytesPerLine() != side * 4) {
            std::fprintf(stderr, "render_icon: no icon of side %s\n", argv[i]);
            return 1;
        }
        image.fill(Qt::transparent);
        QPainter painter(&image);
        svg.render(&painter);
        painter.end();
        QByteArray pixels(image.sizeInBytes(), Qt::Uninitialized);
        if (big)
            qToBigEndian<quint32>(image.constBits(), side * side, pixels.data());
        else
            qToLittleEndian<quint32>(image.constBits(), side * side, pixels.data());
        const QString name = QString::fromLocal8Bit(argv[3]) + QStringLiteral("/%1.argb").arg(side);
        QFile file(name);
        if (!file.open(QIODevice::WriteOnly) || file.write(pixels) != pixels.size() || !file.flush()) {
            std::fprintf(stderr, "render_icon: cannot write %s\n", qPrintable(name));
            return 1;
        }
    }
    return 0;
}
