#pragma once

#include <QString>

class QTranslator;

// "qjellybox." directly followed by the locale name, e.g. "qjellybox.de_DE".
QString catalogueName(const QString& localeName);

// Loads the catalogue for localeName from directory with Qt's own fallback, which drops the
// name's suffixes at "_" and "." in turn (de_DE, then de). A missing catalogue is not an error.
bool loadCatalogue(QTranslator& translator, const QString& localeName,
                   const QString& directory = QStringLiteral("."));
