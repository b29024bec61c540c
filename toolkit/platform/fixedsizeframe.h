#pragma once

#include <QObject>

#include <cstdint>

class QWidget;

namespace toolkit {

// Tells the window manager that a window has a fixed size: its frame offers moving, minimising
// and closing, and neither resize handles nor maximising. Qt's own hints on X11 offer resizing
// whatever the window's flags and size limits, and some window managers then draw a maximise
// button that does nothing. Elsewhere than on X11 the window is left as Qt makes it.
class FixedSizeFrame final : public QObject {
public:
    explicit FixedSizeFrame(QWidget *window);
    ~FixedSizeFrame() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The hints' property is named by an atom that the X server hands out. It is asked for when
    // the window is made and taken when the window is shown, so that showing it waits for no
    // answer from the server.
    unsigned int atomRequest_ = 0;
    uint32_t atom_ = 0;
};

} // namespace toolkit
