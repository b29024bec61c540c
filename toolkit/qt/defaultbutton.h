#pragma once

#include <QObject>

#include <functional>

class QPushButton;
class QWidget;

namespace toolkit {

// Makes a push button the default button of its window. Enter, pressed with no Shift, Ctrl or
// Alt anywhere in the window, activates it while it is enabled and visible, unless the focused
// control uses Enter itself: another push button, which Enter activates and which shows as the
// default meanwhile, or a multi-line edit.
//
// Enter is taken before the control it is sent to sees it rather than when the control passes it
// on, because what a control does with Enter depends on the platform theme: under GNOME's and
// Xfce's themes Enter presses buttons, so a check box toggles and a group box takes it as a press
// of its title's check box, even when it has none, and the window never hears of it.
class DefaultButton final : public QObject {
public:
    explicit DefaultButton(QPushButton *button);

    // What Enter does while the button is disabled or hidden, given the control it was pressed
    // in; by default nothing.
    void setWhileUnavailable(std::function<void(QWidget *control)> action) {
        whileUnavailable_ = std::move(action);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void follow(QWidget *focused);

    QPushButton *button_;
    std::function<void(QWidget *)> whileUnavailable_;
};

} // namespace toolkit
