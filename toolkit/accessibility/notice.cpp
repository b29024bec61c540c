#include "toolkit/accessibility/notice.h"

#include "toolkit/accessibility/announcer.h"

#include <QAction>
#include <QApplication>
#include <QFocusEvent>
#include <QPointer>
#include <QShortcut>
#include <QTimer>
#include <QToolTip>
#include <QWidget>
#include <QWindow>

#include <functional>

namespace toolkit {

namespace {

// A tooltip goes at the next change of focus or activation. A command chosen from a menu or
// finished in a dialog is told before the window has its focus back: the focus that comes back
// afterwards would take the words away at once. They are shown again as it comes, once, within a
// second of the command.
class ShownAgainOnReturn final : public QObject {
public:
    ShownAgainOnReturn(QWidget *at, std::function<void()> show)
        : QObject(at)
        , window_(at->window())
        , show_(std::move(show)) {
        QTimer::singleShot(1000, this, [this] { deleteLater(); });
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (isReturn(event) && window_ && isOfWindow(watched)) {
            qApp->removeEventFilter(this);
            // After the tooltip itself has seen the event that hides it.
            QTimer::singleShot(0, this, [this] {
                show_();
                deleteLater();
            });
        }
        return false;
    }

private:
    // The focus a menu or dialog gives back, not that of a key or click after the command.
    static bool isReturn(const QEvent *event) {
        if (event->type() == QEvent::WindowActivate) {
            return true;
        }
        if (event->type() != QEvent::FocusIn) {
            return false;
        }
        const Qt::FocusReason reason = static_cast<const QFocusEvent *>(event)->reason();
        return reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason;
    }

    // The window's own platform window is told first.
    bool isOfWindow(const QObject *watched) const {
        if (watched->isWindowType()) {
            return watched == window_->windowHandle();
        }
        return watched->isWidgetType() &&
               static_cast<const QWidget *>(watched)->window() == window_;
    }

    QPointer<QWidget> window_;
    std::function<void()> show_;
};

} // namespace

void tell(QWidget *at, const QString &words, const Telling &how) {
    // No area given: the pointer may move, and any key or click takes the words away, as they go
    // on their own after a while.
    const QPoint where = at->mapToGlobal(how.where.value_or(QPoint(0, at->height())));
    const int shownMs = how.shownMs;
    const auto show = [at, where, words, shownMs] {
        QToolTip::showText(where, words, at, QRect(), shownMs);
    };
    show();
    new ShownAgainOnReturn(at, show);
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
