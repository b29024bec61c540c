#include "toolkit/qtsurface.h"

#include "toolkit/surfaceimage.h"

#include <QPainter>

namespace toolkit {

QtSurface::QtSurface(int width, int height, SurfaceImage *view)
    : picture_(width, height, QImage::Format_RGB32)
    , metrics_(font_.face, &picture_)
    , view_(view) {
    picture_.fill(Qt::white);
    if (view_ != nullptr) {
        view_->showPicture(&picture_);
    }
}

int QtSurface::textWidth(const QString &text) const {
    return metrics_.horizontalAdvance(text);
}

int QtSurface::textHeight(const QString &) const {
    return metrics_.height();
}

void QtSurface::setFont(const Font &font) {
    font_ = font;
    metrics_ = QFontMetrics(font_.face, &picture_);
}

void QtSurface::fillWhite() {
    picture_.fill(Qt::white);
    changed();
}

void QtSurface::drawText(int x, int y, const QString &text) {
    QPainter painter(&picture_);
    painter.setFont(font_.face);
    painter.setPen(font_.color);
    painter.drawText(x, y + metrics_.ascent(), text);
    changed();
}

void QtSurface::moveTo(int x, int y) {
    pen_ = {x, y};
}

void QtSurface::lineTo(int x, int y) {
    // Leaves out the end point; only the horizontal and vertical lines of the sample are needed.
    const QPoint to{x, y};
    if (to != pen_) {
        QPainter painter(&picture_);
        const QPoint step{(to.x() > pen_.x()) - (to.x() < pen_.x()),
                          (to.y() > pen_.y()) - (to.y() < pen_.y())};
        painter.setPen(QPen(Qt::black, 0));
        painter.drawLine(pen_, to - step);
    }
    pen_ = to;
    changed();
}

void QtSurface::changed() {
    if (view_ != nullptr) {
        view_->update();
    }
}

} // namespace toolkit
