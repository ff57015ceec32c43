// Draws the program's icon from its SVG at build time, so that the program starts without an SVG
// renderer or an image decoder: render_icon SVG OUTPUT_DIR SIDE... writes OUTPUT_DIR/SIDE.argb
// each, the SIDE x SIDE pixels as this machine's Qt holds premultiplied ARGB32, row after row.

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fputs("usage: render_icon SVG OUTPUT_DIR SIDE...\n", stderr);
        return 2;
    }
    QGuiApplication app(argc, argv);
    QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
    if (!svg.isValid()) {
        std::fprintf(stderr, "render_icon: cannot read %s\n", argv[1]);
        return 1;
    }
    for (int i = 3; i < argc; ++i) {
        const int side = QByteArray(argv[i]).toInt();
        QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        svg.render(&painter);
        painter.end();
        const QString name = QString::fromLocal8Bit(argv[2]) + QStringLiteral("/%1.argb").arg(side);
        QFile file(name);
        const qint64 bytes = image.sizeInBytes();
        if (side <= 0 || image.bytesPerLine() != side * 4 || !file.open(QIODevice::WriteOnly)
            || file.write(reinterpret_cast<const char*>(image.constBits()), bytes) != bytes || !file.flush()) {
            std::fprintf(stderr, "render_icon: cannot write %s\n", qPrintable(name));
            return 1;
        }
    }
    return 0;
}
