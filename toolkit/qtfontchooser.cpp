#include "toolkit/qtfontchooser.h"

#include <QFontDialog>

namespace toolkit {

QtFontChooser::QtFontChooser(const Font &initial, QWidget *parent)
    : current_(initial)
    , parent_(parent) {}

bool QtFontChooser::execute() {
    bool confirmed = false;
    const QFont chosen = QFontDialog::getFont(&confirmed, current_.face, parent_);
    if (confirmed) {
        current_.face = chosen;
    }
    return confirmed;
}

} // namespace toolkit
