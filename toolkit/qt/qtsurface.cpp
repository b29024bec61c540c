#include "toolkit/qt/qtsurface.h"

#include "toolkit/accessibility/announcer.h"
#include "toolkit/text.h"
#include "toolkit/widgets/actionsmenu.h"

#include <QEvent>
#include <QPainter>
#include <QtMath>

#include <algorithm>

namespace toolkit {

namespace {

// At a device pixel ratio above 1 the picture has as many pixels as the screen shows, so that the
// sample stays crisp; its coordinates stay those of the window.
QImage whitePicture(int width, int height, qreal devicePixelRatio) {
    QImage picture(QSize(width, height) * devicePixelRatio, QImage::Format_RGB32);
    picture.setDevicePixelRatio(devicePixelRatio);
    picture.fill(Qt::white);
    return picture;
}

// The device pixels that show the pixels `from` up to `to` (not included) on one axis: those that
// lie wholly inside them, at least one. At a whole ratio that is every device pixel under them;
// at a ratio of 1.5 a line one pixel wide is one device pixel wide, sharp, rather than one and a
// half, half of it grey.
std::pair<int, int> devicePixels(int from, int to, qreal ratio) {
    constexpr qreal Rounding = 1e-6;
    const int first = qCeil(from * ratio - Rounding);
    return {first, std::max(first + 1, qFloor(to * ratio + Rounding))};
}

} // namespace

QtSurface::QtSurface(int width, int height, SurfaceImage *view, qreal devicePixelRatio)
    : size_(width, height)
    , picture_(whitePicture(width, height, devicePixelRatio))
    , metrics_(font_.face, &picture_)
    , view_(view) {
    if (view_ != nullptr) {
        view_->showPicture(&picture_);
    }
}

int QtSurface::textWidth(const QString &text) const {
    // Enough for the texts that can reach the picture, a few million characters long each.
    constexpr qsizetype MostRemembered = 4096;
    constexpr qsizetype MostCharacters = 4'000'000;
    if (const auto known = widths_.find(text); known != widths_.end()) {
        known->measuredSinceForgetting = true;
        return known->width;
    }
    if (widths_.size() >= MostRemembered || rememberedCharacters_ + text.size() > MostCharacters) {
        widths_.clear();
        rememberedCharacters_ = 0;
    }
    const int width = metrics_.horizontalAdvance(text);
    if (text.size() <= MostCharacters) {
        widths_.insert(text, {width, true});
        rememberedCharacters_ += text.size();
    }
    return width;
}

void QtSurface::forgetTextsNotMeasured() {
    for (auto it = widths_.begin(); it != widths_.end();) {
        if (it->measuredSinceForgetting) {
            it->measuredSinceForgetting = false;
            ++it;
        } else {
            rememberedCharacters_ -= it.key().size();
            it = widths_.erase(it);
        }
    }
}

int QtSurface::textHeight(const QString &) const {
    return metrics_.height();
}

void QtSurface::setFont(const Font &font) {
    font_ = font;
    metrics_ = QFontMetrics(font_.face, &picture_);
    widths_.clear();
    rememberedCharacters_ = 0;
}

void QtSurface::fillWhite() {
    picture_.fill(Qt::white);
    changed();
}

void QtSurface::drawText(int x, int y, const QString &text) {
    QPainter painter(&picture_);
    painter.setFont(font_.face);
    painter.setPen(font_.color);
    painter.drawText(x, y + metrics_.ascent(), shownPart(x, text));
    changed();
}

QString QtSurface::shownPart(int x, const QString &text) const {
    // Drawing lays out the whole text, seconds for a million characters of which the picture
    // shows a few dozen. A left-to-right text is cut where it has certainly left the picture.
    constexpr qsizetype Enough = 2048;
    if (text.size() <= Enough || x >= width()) {
        return x >= width() ? QString() : text;
    }
    if (hasRightToLeft(text)) {
        return text;
    }
    const QString start = text.left(wholeCharacters(text, Enough, Round::Up));
    return x + metrics_.horizontalAdvance(start) > width() ? start : text;
}

void QtSurface::moveTo(int x, int y) {
    pen_ = {x, y};
}

void QtSurface::lineTo(int x, int y) {
    // Leaves out the end point; only the horizontal and vertical lines of the sample are needed.
    const QPoint to{x, y};
    if (to != pen_) {
        // A line one window pixel wide is the rectangle of the pixels it covers, set in whole
        // device pixels at any scale.
        const QPoint step{(to.x() > pen_.x()) - (to.x() < pen_.x()),
                          (to.y() > pen_.y()) - (to.y() < pen_.y())};
        const QRect covered = QRect(pen_, to - step).normalized();
        const qreal ratio = picture_.devicePixelRatio();
        const auto [left, right] = devicePixels(covered.left(), covered.right() + 1, ratio);
        const auto [top, bottom] = devicePixels(covered.top(), covered.bottom() + 1, ratio);
        const QRect inPicture =
            QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)).intersected(picture_.rect());
        for (int row = inPicture.top(); row <= inPicture.bottom(); ++row) {
            auto *line = reinterpret_cast<QRgb *>(picture_.scanLine(row));
            std::fill(line + inPicture.left(), line + inPicture.right() + 1, qRgb(0, 0, 0));
        }
    }
    pen_ = to;
    changed();
}

void QtSurface::setDevicePixelRatio(qreal ratio) {
    if (ratio == picture_.devicePixelRatio()) {
        return;
    }
    const QImage old = picture_;
    picture_ = whitePicture(width(), height(), ratio);
    QPainter(&picture_).drawImage(0, 0, old);
    changed();
}

void QtSurface::changed() {
    if (view_ != nullptr) {
        view_->update();
    }
}

SurfaceImage::SurfaceImage(QWidget *parent)
    : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void SurfaceImage::showPicture(const QImage *picture) {
    picture_ = picture;
    update();
}

void SurfaceImage::describe(const QString &description) {
    toolkit::describe(this, description);
}

// Qt tells a widget of a new device pixel ratio (a new screen, or a new scale of its own) by
// DevicePixelRatioChange from 6.6 on. Qt 6.4 has no public event for it: the window is only
// painted again at the new ratio, so the ratio is looked at before each paint and the picture made
// again after it, the old one shown enlarged meanwhile. test_sample moves the window to a screen
// of another ratio without asking for a paint, and fails on a Qt that tells of it otherwise.
bool SurfaceImage::event(QEvent *event) {
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
    if (event->type() == QEvent::DevicePixelRatioChange) {
        checkDevicePixelRatio();
    }
#else
    if (event->type() == QEvent::Paint && picture_ != nullptr &&
        devicePixelRatioF() != picture_->devicePixelRatio()) {
        QMetaObject::invokeMethod(this, &SurfaceImage::checkDevicePixelRatio, Qt::QueuedConnection);
    }
#endif
    return QWidget::event(event);
}

void SurfaceImage::checkDevicePixelRatio() {
    const qreal ratio = devicePixelRatioF();
    if (picture_ != nullptr && ratio != picture_->devicePixelRatio()) {
        emit devicePixelRatioChanged(ratio);
    }
}

void SurfaceImage::contextMenuEvent(QContextMenuEvent *event) {
    popUpActionsMenu(this, event);
}

void SurfaceImage::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    if (picture_ != nullptr) {
        painter.drawImage(0, 0, *picture_);
    }
}

} // namespace toolkit
