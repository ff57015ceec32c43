#include "catalogue.h"

#include <QTranslator>

QString catalogueName(const QString& localeName)
{
    return QStringLiteral("qjellybox.") + localeName;
}

bool loadCatalogue(QTranslator& translator, const QString& localeName, const QString& directory)
{
    return translator.load(catalogueName(localeName), directory);
}
