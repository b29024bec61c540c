#include "toolkit/platform/process.h"

#include "toolkit/platform/fonts.h"
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
#include <QSocketNotifier>
#include <QStyle>
#include <QTranslator>

#include <csignal>

#include <sys/socket.h>
#include <unistd.h>

// XPM is C: each picture is an array of strings named after its file.
#include "toolkit/platform/icons/pemvaro-16.xpm"
#include "toolkit/platform/icons/pemvaro-32.xpm"

namespace toolkit {

namespace {

// A signal handler may do next to nothing: it writes one byte, and the event loop reads it.
int wakeWriteEnd = -1;

void onSignal(int number) {
    std::signal(number, SIG_DFL);
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakeWriteEnd, &byte, 1);
}

void quitOnSignals() {
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
        return;
    }
    wakeWriteEnd = ends[0];
    auto *notifier = new QSocketNotifier(ends[1], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [notifier] {
        char byte;
        [[maybe_unused]] const ssize_t read =
            ::read(static_cast<int>(notifier->socket()), &byte, 1);
        QApplication::closeAllWindows();
        QCoreApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : {SIGTERM, SIGINT, SIGHUP}) {
        ::sigaction(number, &action, nullptr);
    }
}

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
    quitOnSignals();
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
