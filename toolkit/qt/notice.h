#pragma once

#include <QString>

class QAction;
class QWidget;

namespace toolkit {

// Says in a few words what a command did, at the control it was done at, without a dialog to
// dismiss: a tooltip that goes by itself, and the same words for screen readers (an announcement
// where Qt makes them, from 6.8 on; before, the control's description while the tooltip shows).
// Every short word of the program's about what it did goes through here.
void tell(QWidget *at, const QString &words);

// Lets `action`'s keys work also while one of `controls` has the focus, as they do at the widgets
// the action belongs to, without adding it to the controls' menus.
void takeKeysAlsoAt(QAction *action, const QList<QWidget *> &controls);

} // namespace toolkit
