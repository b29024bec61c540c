#include "main/displaycheck.h"
#include "main/mainform.h"
#include "main/pemvaroicon.h"
#include "main/qtjapanese.h"
#include "main/quitonsignal.h"
#include "main/styleimages.h"
#include "toolkit/fonts.h"

#include <QApplication>

int main(int argc, char *argv[]) {
    watchForMissingDisplay(argc, argv);
    QApplication app(argc, argv);
    quitOnSignals({SIGTERM, SIGINT, SIGHUP});
    // The program's own name; the window caption stays exactly as the window sets it.
    QApplication::setApplicationName(QStringLiteral("Pemvaro"));
    QGuiApplication::setDesktopFileName(QStringLiteral("pemvaro"));
    QApplication::setWindowIcon(pemvaroIcon());
    installQtJapanese(app);
    toolkit::installFontSubstitutes();
    preloadStyleImages();

    TMainForm MainForm;
    MainForm.show();
    return QApplication::exec();
}
