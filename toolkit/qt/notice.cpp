#include "toolkit/qt/notice.h"

#include <QAccessible>
#include <QAction>
#include <QShortcut>
#include <QTimer>
#include <QToolTip>
#include <QWidget>

namespace toolkit {

void tell(QWidget *at, const QString &words, const Telling &how) {
    // No area given: the pointer may move, and any key or click takes the words away, as they go
    // on their own after a while.
    QToolTip::showText(at->mapToGlobal(how.where.value_or(QPoint(0, at->height()))), words, at,
                       QRect(), how.shownMs);
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    QAccessibleAnnouncementEvent announcement(at, words);
    if (how.urgent) {
        announcement.setPoliteness(QAccessible::AnnouncementPoliteness::Assertive);
    }
    QAccessible::updateAccessibility(&announcement);
#else
    // The control's own description comes back once the last words have gone, unless it was
    // given a new one meanwhile.
    const char *kept = "toolkit.describedBefore";
    const char *told = "toolkit.told";
    const char *pending = "toolkit.tellsPending";
    const int before = at->property(pending).toInt();
    if (before == 0) {
        at->setProperty(kept, at->accessibleDescription());
    }
    at->setProperty(pending, before + 1);
    at->setProperty(told, words);
    at->setAccessibleDescription(words);
    QTimer::singleShot(how.shownMs, at, [at, kept, told, pending] {
        const int left = at->property(pending).toInt() - 1;
        at->setProperty(pending, left);
        if (left == 0 && at->accessibleDescription() == at->property(told).toString()) {
            at->setAccessibleDescription(at->property(kept).toString());
        }
    });
#endif
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
