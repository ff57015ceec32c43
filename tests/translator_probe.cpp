// Preloaded into the program by startup_test: appends the language of every translator the
// program installs to the file named by JB_INSTALLED_TRANSLATORS, so the test sees the
// catalogue loaded and installed without the program printing anything of its own.
#include <QCoreApplication>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>

bool QCoreApplication::installTranslator(QTranslator* translator)
{
    using Install = bool (*)(QTranslator*);
    static const auto real = reinterpret_cast<Install>(
        dlsym(RTLD_NEXT, "_ZN16QCoreApplication17installTranslatorEP11QTranslator"));
    if (const char* path = std::getenv("JB_INSTALLED_TRANSLATORS"))
        if (std::FILE* log = std::fopen(path, "a")) {
            // Empty when nothing was loaded into it.
            std::fprintf(log, "%s\n", translator ? qPrintable(translator->language()) : "(null)");
            std::fclose(log);
        }
    return real ? real(translator) : false;
}
