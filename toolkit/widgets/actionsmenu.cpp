#include "toolkit/widgets/actionsmenu.h"

#include <QAccessible>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPointer>

namespace toolkit {

namespace {

// Qt keeps what it tells screen readers of a menu's item with the item's action, bound to the menu
// it was first shown in. The control's actions outlive each menu made for them: once the menu is
// deleted they are told anew, else the next menu's items read as nothing.
void forgetItemsForScreenReadersWhenDeleted(QMenu *menu) {
    QList<QPointer<QAction>> items;
    for (QAction *action : menu->actions()) {
        items.append(action);
    }
    QObject::connect(menu, &QObject::destroyed, [items] {
        for (QAction *action : items) {
            if (action == nullptr) {
                continue;
            }
            if (QAccessibleInterface *item = QAccessible::queryAccessibleInterface(action)) {
                QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(item));
            }
        }
    });
}

} // namespace

void popUpActionsMenu(QWidget *widget, const QContextMenuEvent *event) {
    if (widget->actions().isEmpty()) {
        return;
    }
    auto *menu = new QMenu(widget);
    menu->addActions(widget->actions());
    popUpContextMenu(menu, event);
}

void popUpContextMenu(QMenu *menu, const QContextMenuEvent *event) {
    // With a screen reader listening, Qt holds each key until the reader has answered for it, and
    // leaks a key whose window is gone by then, as the release of the key that closed a menu can
    // be: a menu is kept, hidden, until the next one opens.
    static QPointer<QMenu> shownLast;
    delete shownLast;
    shownLast = menu;
    menu->setAttribute(Qt::WA_WindowPropagation);
    forgetItemsForScreenReadersWhenDeleted(menu);
    menu->popup(event->globalPos());
    if (event->reason() != QContextMenuEvent::Keyboard) {
        return;
    }
    // Once the menu has been shown and taken the keyboard, which screen readers hear as the window
    // becoming active again: the item comes after, so that it is read last.
    QMetaObject::invokeMethod(
        menu,
        [menu] {
            for (QAction *action : menu->actions()) {
                if (action->isEnabled() && action->isVisible() && !action->isSeparator()) {
                    menu->setActiveAction(action);
                    return;
                }
            }
        },
        Qt::QueuedConnection);
}

namespace {

// Qt opens context menus from the Menu key only; desktops take Shift+F10 as well.
class ShiftF10 final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) {
            return false;
        }
        const auto *key = static_cast<QKeyEvent *>(event);
        auto *widget = static_cast<QWidget *>(watched);
        if (key->key() != Qt::Key_F10 || key->modifiers() != Qt::ShiftModifier ||
            widget != QApplication::focusWidget() || qobject_cast<QMenu *>(widget) != nullptr) {
            return false;
        }
        // Where the Menu key opens it: at the caret or the current item.
        QPoint at = widget->inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
        if (!widget->rect().contains(at)) {
            at = widget->rect().center();
        }
        QContextMenuEvent menuEvent(QContextMenuEvent::Keyboard, at, widget->mapToGlobal(at),
                                    key->modifiers());
        QCoreApplication::sendEvent(widget, &menuEvent);
        return true;
    }
};

} // namespace

void openContextMenusWithShiftF10() {
    qApp->installEventFilter(new ShiftF10(qApp));
}

} // namespace toolkit
