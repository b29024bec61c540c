#pragma once

#include "toolkit/surface.h"

#include <memory>

class QWidget;

namespace toolkit {

class FontChooserDialog;

// The font chooser on Qt. Its dialog is made on first use, so that it costs nothing at start-up.
class QtFontChooser final : public FontChooser {
public:
    QtFontChooser(const Font &initial, QWidget *parent);
    ~QtFontChooser() override;

    Font currentFont() const override { return current_; }
    bool execute() override;

private:
    Font current_;
    QColor windowText_;
    QWidget *parent_;
    std::unique_ptr<FontChooserDialog> dialog_;
};

} // namespace toolkit
