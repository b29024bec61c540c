#include "toolkit/memopane.h"

MemoPane::MemoPane(QWidget *parent)
    : QPlainTextEdit(parent) {
    QPalette pal = palette();
    pal.setColor(QPalette::Inactive, QPalette::Highlight,
                 pal.color(QPalette::Inactive, QPalette::Base));
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText,
                 pal.color(QPalette::Inactive, QPalette::Text));
    setPalette(pal);
    // The pane lays out each line whole, also a line of a million characters: optional shaping
    // (kerning pairs in Latin, nothing in Japanese) would double that time.
    QFont strategy;
    strategy.setStyleStrategy(QFont::PreferNoShaping);
    setFont(strategy);
}
