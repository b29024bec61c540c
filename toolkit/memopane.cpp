#include "toolkit/memopane.h"

MemoPane::MemoPane(QWidget *parent)
    : QPlainTextEdit(parent) {
    QPalette pal = palette();
    pal.setColor(QPalette::Inactive, QPalette::Highlight,
                 pal.color(QPalette::Inactive, QPalette::Base));
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText,
                 pal.color(QPalette::Inactive, QPalette::Text));
    setPalette(pal);
}
