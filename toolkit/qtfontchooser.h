#pragma once

#include "toolkit/surface.h"

class QWidget;

namespace toolkit {

// The font chooser on Qt. Its dialog is made on first use.
class QtFontChooser final : public FontChooser {
public:
    QtFontChooser(const Font &initial, QWidget *parent);

    Font currentFont() const override { return current_; }
    bool execute() override;

private:
    Font current_;
    QWidget *parent_;
};

} // namespace toolkit
