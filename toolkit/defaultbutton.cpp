#include "toolkit/defaultbutton.h"

#include <QApplication>
#include <QInputMethod>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>

namespace toolkit {

namespace {

bool usesEnterItself(QWidget *control) {
    return qobject_cast<QPushButton *>(control) != nullptr ||
           qobject_cast<QPlainTextEdit *>(control) != nullptr;
}

bool isPlainEnter(const QKeyEvent &key) {
    const bool enter = key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
    return enter && (key.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

} // namespace

DefaultButton::DefaultButton(QPushButton *button)
    : button_(button) {
    button_->setDefault(true);
    // Key presses go to the focused control first, so they are watched for the whole
    // application; only those of the button's own window are taken.
    qApp->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget *, QWidget *now) { follow(now); });
}

bool DefaultButton::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() != QEvent::KeyPress || watched != QApplication::focusWidget()) {
        return false;
    }
    auto *focused = static_cast<QWidget *>(watched);
    if (focused->window() != button_->window() || usesEnterItself(focused) ||
        !isPlainEnter(*static_cast<QKeyEvent *>(event))) {
        return false;
    }
    // Text still being composed joins the box first, as the box itself would do on Enter.
    QGuiApplication::inputMethod()->commit();
    if (button_->isEnabled() && button_->isVisible()) {
        button_->click();
    }
    event->accept();
    return true;
}

void DefaultButton::follow(QWidget *focused) {
    // While another push button has the focus, it is the one Enter activates and shows as such.
    const bool otherButton = qobject_cast<QPushButton *>(focused) != nullptr &&
                             focused != button_ && button_->window()->isAncestorOf(focused);
    button_->setDefault(!otherButton);
}

} // namespace toolkit
