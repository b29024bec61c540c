#pragma once

class QContextMenuEvent;
class QWidget;

namespace toolkit {

// Pops up the menu of `widget`'s actions where `event` asks for it, in the font of the window it
// opens in, as the edit boxes' and the pane's menus are; Qt's own menu of a widget's actions
// takes the application's font. Nothing opens for a widget without actions.
void popUpActionsMenu(QWidget *widget, const QContextMenuEvent *event);

} // namespace toolkit
