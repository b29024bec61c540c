#include "toolkit/qt/notice.h"

#include "toolkit/announcer.h"

#include <QAction>
#include <QShortcut>
#include <QToolTip>
#include <QWidget>

namespace toolkit {

void tell(QWidget *at, const QString &words, const Telling &how) {
    // No area given: the pointer may move, and any key or click takes the words away, as they go
    // on their own after a while.
    QToolTip::showText(at->mapToGlobal(how.where.value_or(QPoint(0, at->height()))), words, at,
                       QRect(), how.shownMs);
    announce(at, words, how.urgent);
}

void takeKeysAlsoAt(QAction *action, const QList<QWidget *> &controls) {
    for (QWidget *control : controls) {
        for (const QKeySequence &keys : action->shortcuts()) {
            // Triggering a disabled action does nothing, as its own keys do.
            new QShortcut(keys, control, action, &QAction::trigger, Qt::WidgetShortcut);
        }
    }
}

} // namespace toolkit
