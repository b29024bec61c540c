#include "toolkit/widgets/derivedpalette.h"

#include <QEvent>
#include <QWidget>

namespace toolkit {

namespace {

class DerivedPalette final : public QObject {
public:
    DerivedPalette(QWidget *widget, std::function<QPalette(const QPalette &)> derive)
        : QObject(widget)
        , derive_(std::move(derive)) {
        apply(widget);
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::PaletteChange && !applying_) {
            apply(static_cast<QWidget *>(watched));
        }
        return false;
    }

private:
    void apply(QWidget *widget) {
        applying_ = true;
        // The roles set before would hide the new colours they were made of.
        widget->setPalette(QPalette());
        widget->setPalette(derive_(widget->palette()));
        applying_ = false;
    }

    std::function<QPalette(const QPalette &)> derive_;
    bool applying_ = false;
};

} // namespace

void keepDerivedPalette(QWidget *widget, std::function<QPalette(const QPalette &)> derive) {
    new DerivedPalette(widget, std::move(derive));
}

} // namespace toolkit
