#pragma once

class QAbstractItemView;
class QString;
class QWidget;

namespace toolkit {

// Tells screen readers, without showing anything, what an action did, as the change a sighted
// user sees: an entry added, the markup made, the text copied. `control` is the control the action
// came from. Urgent words, about something that did not happen, interrupt what is being said.
void announce(QWidget *control, const QString &words, bool urgent = false);

// Sets what screen readers read of the control after its name. They hear of every change, so only
// a new text is told.
void describe(QWidget *control, const QString &description);

// Qt tells screen readers that a list has the focus, not which item in it: as the list gets the
// focus, its current item is told of as having it, as once the focus mark moves.
void readCurrentItemOnFocus(QAbstractItemView *view);

} // namespace toolkit
