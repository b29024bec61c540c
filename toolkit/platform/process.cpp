#include "toolkit/platform/process.h"

#include "toolkit/platform/fonts.h"
#include "toolkit/platform/signals.h"
#include "toolkit/qt/qtsurface.h"
#include "toolkit/widgets/longtextlineedit.h"
#include "toolkit/widgets/longtextlineeditaccessible.h"
#include "toolkit/widgets/submenuitem.h"

#include <QAccessibleWidget>
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

namespace {

QAccessibleInterface *accessibleRole(const QString &className, QObject *object) {
    // Its description, the sample read out as text, is the image's text alternative.
    if (className == QLatin1StringView(SurfaceImage::staticMetaObject.className())) {
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Graphic);
    }
    if (className == QLatin1StringView(LongTextLineEdit::staticMetaObject.className())) {
        return longTextLineEditAccessible(static_cast<LongTextLineEdit *>(object));
    }
    if (className == u"TMainForm") {
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    }
    return nullptr;
}

} // namespace

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
    // Screen readers may ask about a control as soon as it is made.
    QAccessible::installFactory(accessibleRole);
    QAccessible::installFactory(submenuItemAccessible);
    // The program keeps nothing between runs. Qt's file dialog would keep its history and last
    // folder in the user's settings (QtProject.conf) whenever it closes: they go where no file
    // can be made.
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
