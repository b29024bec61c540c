#include "main/qtjapanese.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

void installQtJapanese(QCoreApplication &app) {
    // The file is mapped, not read: loading it costs next to nothing.
    auto *catalogue = new QTranslator(&app);
    if (catalogue->load(QStringLiteral("qtbase_ja"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(catalogue);
    } else {
        delete catalogue;
    }
}
