#include "toolkit/selectalllineedit.h"

#include <QFocusEvent>

#include <limits>

SelectAllLineEdit::SelectAllLineEdit(QWidget *parent)
    : QLineEdit(parent) {
    setMaxLength(std::numeric_limits<int>::max());
}

void SelectAllLineEdit::focusInEvent(QFocusEvent *event) {
    QLineEdit::focusInEvent(event);
    switch (event->reason()) {
    case Qt::MouseFocusReason:
    case Qt::ActiveWindowFocusReason:
    case Qt::PopupFocusReason:
        break;
    default:
        selectAll();
    }
}
