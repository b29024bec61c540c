#pragma once

#include <QPoint>
#include <QString>

#include <optional>

class QAction;
class QWidget;

namespace toolkit {

// Says in a few words what a command did, at the control it was done at, without a dialog to
// dismiss: a tooltip that goes by itself, and the same words announced to screen readers.
// Every short word of the program's about what it did, or did not do, goes through here.
struct Telling {
    // Where the words show, in the control's coordinates; below the control where not given.
    std::optional<QPoint> where;
    int shownMs = 2500;
    // Words about something that did not happen: screen readers say them at once.
    bool urgent = false;
};
void tell(QWidget *at, const QString &words, const Telling &how = {});

// Lets `action`'s keys work also while one of `controls` has the focus, as they do at the widgets
// the action belongs to, without adding it to the controls' menus.
void takeKeysAlsoAt(QAction *action, const QList<QWidget *> &controls);

} // namespace toolkit
