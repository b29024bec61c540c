#include "toolkit/qt/defaultbutton.h"

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
    // A key press goes to the focused control first, then to its parents: it is watched for the
    // whole application and taken where it first reaches a control of the button's window.
    qApp->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget *, QWidget *now) { follow(now); });
}

bool DefaultButton::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) {
        return false;
    }
    auto *control = static_cast<QWidget *>(watched);
    if (control->window() != button_->window() || usesEnterItself(control) ||
        !isPlainEnter(*static_cast<QKeyEvent *>(event))) {
        return false;
    }
    // Text still being composed joins the box first, as the box itself would do on Enter.
    QGuiApplication::inputMethod()->commit();
    if (button_->isEnabled() && button_->isVisible()) {
        button_->click();
    } else {
        emit refused();
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
