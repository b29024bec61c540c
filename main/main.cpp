#include "main/mainform.h"
#include "toolkit/platform/process.h"
#include "toolkit/widgets/actionsmenu.h"

#include <QApplication>

int main(int argc, char *argv[]) {
    toolkit::watchForMissingDisplay(argc, argv);
    QApplication app(argc, argv);
    toolkit::setUpProcess();
    toolkit::openContextMenusWithShiftF10();

    TMainForm MainForm;
    MainForm.keepWorkIn(keptwork::WorkFile::standardPath());
    MainForm.show();
    return QApplication::exec();
}
