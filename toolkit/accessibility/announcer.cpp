#include "toolkit/accessibility/announcer.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QWidget>

namespace toolkit {

namespace {

class CurrentItemReader final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() != QEvent::FocusIn) {
            return false;
        }
        auto *view = static_cast<QAbstractItemView *>(watched);
        // Qt tells of the list itself after this event: the item follows once it has.
        QMetaObject::invokeMethod(
            view, [view] { tellCurrentItem(view); }, Qt::QueuedConnection);
        return false;
    }

private:
    static void tellCurrentItem(QAbstractItemView *view) {
        QAccessibleInterface *list = QAccessible::queryAccessibleInterface(view);
        QAccessibleTableInterface *table = list != nullptr ? list->tableInterface() : nullptr;
        // A menu open over the window has the keyboard, whatever Qt says of the list.
        if (!QAccessible::isActive() || table == nullptr || !view->hasFocus() ||
            !view->currentIndex().isValid() || QApplication::activePopupWidget() != nullptr) {
            return;
        }
        if (QAccessibleInterface *item = table->cellAt(view->currentIndex().row(), 0)) {
            QAccessibleEvent focus(item, QAccessible::Focus);
            QAccessible::updateAccessibility(&focus);
        }
    }
};

} // namespace

void describe(QWidget *control, const QString &description) {
    if (description != control->accessibleDescription()) {
        control->setAccessibleDescription(description);
    }
}

void readCurrentItemOnFocus(QAbstractItemView *view) {
    view->installEventFilter(new CurrentItemReader(view));
}

#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)

void announce(QWidget *control, const QString &words, bool urgent) {
    QAccessibleAnnouncementEvent event(control, words);
    if (urgent) {
        event.setPoliteness(QAccessible::AnnouncementPoliteness::Assertive);
    }
    QAccessible::updateAccessibility(&event);
}

#else

namespace {

// Qt 6.4 has no announcements, and what it tells of a changed name or description reaches Orca
// as an object, not as text. Orca speaks a notification as it shows: the window has an empty
// one, shown again with each announcement as its name.
const QString NoticeName = QStringLiteral("toolkit-notice");

QAccessibleInterface *noticeAccessible(const QString &, QObject *object) {
    if (object->isWidgetType() && object->objectName() == NoticeName) {
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Notification);
    }
    return nullptr;
}

} // namespace

void announce(QWidget *control, const QString &words, bool) {
    if (!QAccessible::isActive()) {
        return;
    }
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(noticeAccessible);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    QWidget *window = control->window();
    auto *notice = window->findChild<QWidget *>(NoticeName, Qt::FindDirectChildrenOnly);
    if (notice == nullptr) {
        notice = new QWidget(window);
        notice->setObjectName(NoticeName);
        notice->setAttribute(Qt::WA_TransparentForMouseEvents);
        notice->setGeometry(0, 0, 1, 1);
        notice->lower();
    }
    notice->hide();
    notice->setAccessibleName(words);
    notice->show();
}

#endif

} // namespace toolkit
