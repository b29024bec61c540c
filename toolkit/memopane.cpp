#include "toolkit/memopane.h"

#include <QContextMenuEvent>
#include <QMenu>

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

void MemoPane::contextMenuEvent(QContextMenuEvent *event) {
    // The standard items stay Qt's own, texts and translations included.
    QMenu *menu = createStandardContextMenu();
    QAction *firstStandard = menu->actions().value(0);
    menu->insertActions(firstStandard, actions());
    menu->insertSeparator(firstStandard);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}
