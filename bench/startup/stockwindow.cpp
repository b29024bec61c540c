// Pemvaro's window built from Qt's own widgets: the same layout, with the program's widget classes
// turned back into the Qt classes they extend, the window's face mapped alike, and nothing else of
// the program. What Pemvaro adds to that is its own start-up cost.
#include "toolkit/platform/fonts.h"
#include "ui_stockform.h"

#include <QApplication>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    toolkit::installFontSubstitutes();
    QWidget window;
    Ui::TMainForm ui;
    {
        const toolkit::LayoutFontInPixels fontInPixels(&window);
        ui.setupUi(&window);
    }
    window.show();
    return QApplication::exec();
}
