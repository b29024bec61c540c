#pragma once

#include <QObject>

class QWidget;

namespace toolkit {

// Tells the window manager that a window has a fixed size: its frame offers moving, minimising
// and closing, and neither resize handles nor maximising. Qt's own hints on X11 offer resizing
// whatever the window's flags and size limits, and some window managers then draw a maximise
// button that does nothing. Elsewhere than on X11 the window is left as Qt makes it.
class FixedSizeFrame final : public QObject {
public:
    explicit FixedSizeFrame(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace toolkit
