#include "toolkit/qt/qtcontrols.h"

#include "toolkit/text.h"

#include <QClipboard>
#include <QGuiApplication>

namespace toolkit {

void QtEditBox::focus() {
    if (edit_->hasFocus()) {
        return;
    }
    // Selected here rather than on the focus event, which waits while the window is inactive.
    edit_->selectAll();
    edit_->setFocus(Qt::OtherFocusReason);
}

void QtMultiLineEdit::copySelection() {
    const QString selected = edit_->selectedText();
    // Like an edit control's copy command: with nothing selected the clipboard keeps its content.
    if (selected.isEmpty()) {
        return;
    }
    QGuiApplication::clipboard()->setText(withCrLf(selected));
}

} // namespace toolkit
