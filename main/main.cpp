#include "main/mainform.h"
#include "main/quitonsignal.h"
#include "toolkit/fonts.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    quitOnSignals({SIGTERM, SIGINT, SIGHUP});
    // The program's own name; the window caption stays exactly as the window sets it.
    QApplication::setApplicationName(QStringLiteral("Pemvaro"));
    QGuiApplication::setDesktopFileName(QStringLiteral("pemvaro"));
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/pemvaro-16.xpm"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/icons/pemvaro-32.xpm"), QSize(32, 32));
    QApplication::setWindowIcon(icon);
    toolkit::installFontSubstitutes();

    TMainForm MainForm;
    MainForm.show();
    return QApplication::exec();
}
