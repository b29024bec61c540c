#include "toolkit/qt/notice.h"

#include <QAccessible>
#include <QAction>
#include <QShortcut>
#include <QTimer>
#include <QToolTip>
#include <QWidget>

namespace toolkit {

namespace {
constexpr int ShownMs = 2500;
}

void tell(QWidget *at, const QString &words) {
    QToolTip::showText(at->mapToGlobal(QPoint(0, at->height())), words, at, QRect(), ShownMs);
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    QAccessibleAnnouncementEvent announcement(at, words);
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
    QTimer::singleShot(ShownMs, at, [at, kept, told, pending] {
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
