#include "toolkit/widgets/surfaceimage.h"

#include <QPainter>

namespace toolkit {

SurfaceImage::SurfaceImage(QWidget *parent)
    : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void SurfaceImage::showPicture(const QImage *picture) {
    picture_ = picture;
    update();
}

void SurfaceImage::describe(const QString &description) {
    if (description != accessibleDescription()) {
        setAccessibleDescription(description);
    }
}

void SurfaceImage::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    if (picture_ != nullptr) {
        painter.drawImage(0, 0, *picture_);
    }
}

} // namespace toolkit
