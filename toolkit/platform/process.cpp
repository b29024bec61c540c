#include "toolkit/platform/process.h"

#include "toolkit/accessibility/roles.h"
#include "toolkit/platform/fonts.h"
#include "toolkit/platform/signals.h"

#include <QApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QPixmap>
#include <QSettings>
#include <QStyle>
#include <QTranslator>

// XPM is C: each picture is an array of strings named after its file.
#include "toolkit/platform/icons/pemvaro-16.xpm"
#include "toolkit/platform/icons/pemvaro-32.xpm"

namespace toolkit {

void setUpProcess() {
    closeWindowsOnSignals();
    // The program's own name; the window caption stays exactly as the window sets it.
    QApplication::setApplicationName(QStringLiteral("Pemvaro"));
    QGuiApplication::setDesktopFileName(QStringLiteral("pemvaro"));
    QIcon icon;
    icon.addPixmap(QPixmap(pemvaro_16));
    icon.addPixmap(QPixmap(pemvaro_32));
    QApplication::setWindowIcon(icon);
    installQtJapanese(*qApp);
    installFontSubstitutes();
    preloadStyleImages();
    installAccessibleRoles();
    // The program keeps the user's work in a file of its own and nothing else. Qt's file dialog
    // would keep its history and last folder in the user's settings (QtProject.conf) whenever it
    // closes: they go where no file can be made.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("/dev/null"));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("/dev/null"));
}

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

} // namespace toolkit
