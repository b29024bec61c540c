#pragma once

class QContextMenuEvent;
class QMenu;
class QWidget;

namespace toolkit {

// Pops up the menu of `widget`'s actions where `event` asks for it, in the font of the window it
// opens in, as the edit boxes' and the pane's menus are; Qt's own menu of a widget's actions
// takes the application's font. Nothing opens for a widget without actions.
void popUpActionsMenu(QWidget *widget, const QContextMenuEvent *event);

// Pops up a context menu made for `event`, in the font of the window it opens in, deleted once
// the next one opens. Opened from the keyboard, its first item is current, so that the keys and
// screen readers start in the menu.
void popUpContextMenu(QMenu *menu, const QContextMenuEvent *event);

// Shift+F10 opens the focused control's context menu, as the Menu key does.
void openContextMenusWithShiftF10();

} // namespace toolkit
