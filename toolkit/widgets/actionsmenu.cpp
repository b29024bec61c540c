#include "toolkit/widgets/actionsmenu.h"

#include <QContextMenuEvent>
#include <QMenu>

namespace toolkit {

void popUpActionsMenu(QWidget *widget, const QContextMenuEvent *event) {
    if (widget->actions().isEmpty()) {
        return;
    }
    auto *menu = new QMenu(widget);
    menu->addActions(widget->actions());
    menu->setAttribute(Qt::WA_WindowPropagation);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

} // namespace toolkit
