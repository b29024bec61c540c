#include "toolkit/platform/fixedsizeframe.h"

#include <QWidget>

namespace toolkit {

// Windows draws a fixed-size frame, without resize borders or a maximise button, for the hint.
FixedSizeFrame::FixedSizeFrame(QWidget *window) {
    window->setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);
}

bool FixedSizeFrame::eventFilter(QObject *, QEvent *) {
    return false;
}

} // namespace toolkit
