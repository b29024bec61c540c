#include "toolkit/qt/qtsurface.h"

#include "toolkit/text.h"

#include <QPainter>

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

} // namespace

QtSurface::QtSurface(int width, int height, SurfaceImage *view, qreal devicePixelRatio)
    : picture_(whitePicture(width, height, devicePixelRatio))
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
    const auto rightToLeft = [](QChar c) {
        const QChar::Direction d = c.direction();
        return d == QChar::DirR || d == QChar::DirAL || d == QChar::DirRLE || d == QChar::DirRLO ||
               d == QChar::DirRLI;
    };
    if (std::any_of(text.cbegin(), text.cend(), rightToLeft)) {
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
        // A line one window pixel wide is the rectangle of the pixels it covers, at any scale.
        QPainter painter(&picture_);
        const QPoint step{(to.x() > pen_.x()) - (to.x() < pen_.x()),
                          (to.y() > pen_.y()) - (to.y() < pen_.y())};
        painter.fillRect(QRect(pen_, to - step).normalized(), Qt::black);
    }
    pen_ = to;
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
