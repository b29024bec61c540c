#include "toolkit/qt/qtcontrols.h"

#include "toolkit/text.h"
#include "toolkit/widgets/fontchooserdialog.h"

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

namespace {

Font confirmed(const Font &current, const FontChoice &choice) {
    Font font = current;
    font.face.setFamily(choice.family);
    font.face.setPixelSize(choice.pixelSize);
    font.face.setWeight(choice.bold ? QFont::Bold : QFont::Normal);
    font.face.setItalic(choice.italic);
    font.face.setUnderline(choice.underline);
    font.face.setStrikeOut(choice.strikeOut);
    // An untouched colour list or script list may show a stand-in for the current value, so
    // only a selection the user changed replaces it.
    if (choice.colorChanged) {
        font.color = choice.color;
    }
    if (choice.faceOrScriptChanged) {
        font.script = choice.script;
    }
    return font;
}

} // namespace

QtFontChooser::QtFontChooser(const Font &initial, QWidget *parent)
    : current_(initial)
    , windowText_(initial.color)
    , parent_(parent) {}

QtFontChooser::~QtFontChooser() = default;

bool QtFontChooser::execute() {
    if (!dialog_) {
        dialog_ = std::make_unique<FontChooserDialog>(windowText_, parent_);
    }
    dialog_->showFont(current_);
    if (dialog_->exec() != QDialog::Accepted) {
        return false;
    }
    const FontChoice choice = dialog_->choice();
    // Picking the window-text colour, the one the ink follows, keeps it following.
    if (choice.colorChanged) {
        inWindowText_ = choice.color == windowText_;
    }
    current_ = confirmed(current_, choice);
    return true;
}

bool QtFontChooser::followWindowText(const QColor &windowText) {
    if (windowText == windowText_) {
        return false;
    }
    windowText_ = windowText;
    // The dialog's colour list names the old colour: it is made again when next needed. Qt may be
    // handing its windows the new palette just now, this one among them.
    if (dialog_ && !dialog_->isVisible()) {
        dialog_.release()->deleteLater();
    }
    if (!inWindowText_) {
        return false;
    }
    current_.color = windowText;
    return true;
}

} // namespace toolkit
