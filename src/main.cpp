#include "catalogue.h"
#include "qjellybox.h"
#include "toolkit_defaults.h"

#include <QApplication>
#include <QDirIterator>
#include <QIcon>
#include <QImage>
#include <QLocale>
#include <QPixmap>
#include <QResource>
#include <QTranslator>

#include <cmath>

#include <iostream>

namespace {

// The menu entry's icon at the sizes task bars and window switchers ask for, drawn from it at
// build time. On X11 the window carries these itself.
QIcon programIcon()
{
    QIcon icon;
    for (QDirIterator sides(QStringLiteral(":/icons")); sides.hasNext();) {
        const QResource pixels(sides.next());
        const int side = static_cast<int>(std::lround(std::sqrt(pixels.size() / 4.0)));
        if (pixels.compressionAlgorithm() != QResource::NoCompression || qint64(side) * side * 4 != pixels.size())
            continue;
        icon.addPixmap(QPixmap::fromImage(
            QImage(pixels.data(), side, side, side * 4, QImage::Format_ARGB32_Premultiplied)));
    }
    return icon;
}

}  // namespace

int main(int argc, char** argv)
{
    // The trace marks how far start-up came, so each line is flushed as it is written.
    std::cout << "main-1" << std::endl;
    std::cout << "main0" << std::endl;
    setToolkitDefaults(argc, argv);
    QApplication app(argc, argv);  // takes the toolkit's own options; the program has none
    // The Wayland app id, which a desktop matches to the menu entry of that name; on X11 the
    // entry's StartupWMClass names the window's class, the program's own name.
    QGuiApplication::setDesktopFileName(QStringLiteral(JB_APP_ID));
    QApplication::setWindowIcon(programIcon());
    std::cout << "main1" << std::endl;
    QTranslator translator;
    loadCatalogue(translator, QLocale::system().name());
    app.installTranslator(&translator);
    std::cout << "main2" << std::endl;
    QJellyBox box;
    std::cout << "main3" << std::endl;
    box.show();
    return app.exec();
}
