#include "main/styleimages.h"

#include <QApplication>
#include <QFile>
#include <QPixmap>
#include <QStyle>

void preloadStyleImages() {
    const QString groupBoxFrame =
        QStringLiteral(":/qt-project.org/styles/commonstyle/images/fusion_groupbox.png");
    if (QApplication::style()->name() != u"fusion" || !QFile::exists(groupBoxFrame)) {
        return;
    }
    // With no plugin directory to look in, the reader finds only its built-in formats. The
    // directories come back at once, for whatever else is loaded later.
    const QStringList pluginDirectories = QCoreApplication::libraryPaths();
    QCoreApplication::setLibraryPaths({});
    const QPixmap loadedIntoTheCache(groupBoxFrame);
    QCoreApplication::setLibraryPaths(pluginDirectories);
}
