#include "catalogue.h"
#include "qjellybox.h"

#include <QApplication>
#include <QLocale>
#include <QTranslator>

#include <iostream>

int main(int argc, char** argv)
{
    // The trace marks how far start-up came, so each line is flushed as it is written.
    std::cout << "main-1" << std::endl;
    std::cout << "main0" << std::endl;
    QApplication app(argc, argv);  // takes the toolkit's own options; the program has none
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
