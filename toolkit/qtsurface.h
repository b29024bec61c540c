#pragma once

#include "toolkit/surface.h"

#include <QFontMetrics>
#include <QHash>
#include <QImage>

class SurfaceImage;

namespace toolkit {

// An off-screen picture in memory, shown by a SurfaceImage.
class QtSurface final : public DrawingSurface {
public:
    QtSurface(int width, int height, SurfaceImage *view = nullptr, qreal devicePixelRatio = 1);

    const QImage &picture() const { return picture_; }

    int width() const override { return qRound(picture_.deviceIndependentSize().width()); }
    int height() const override { return qRound(picture_.deviceIndependentSize().height()); }
    int textWidth(const QString &text) const override;
    int textHeight(const QString &text) const override;
    void setFont(const Font &font) override;
    void fillWhite() override;
    void drawText(int x, int y, const QString &text) override;
    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;

    // Lets go of the remembered widths of texts that nothing else holds any more, such as those of
    // entries that were changed or deleted.
    void forgetUnheldTexts();
    // How many characters the remembered widths keep alive.
    qsizetype rememberedCharacters() const { return rememberedCharacters_; }

private:
    void changed();

    QImage picture_;
    Font font_;
    QFontMetrics metrics_;
    // Every redraw measures the texts that reach the picture again; long texts are slow to measure.
    // Bounded by the characters they hold, since a forgotten text is only measured again.
    mutable QHash<QString, int> widths_;
    mutable qsizetype rememberedCharacters_ = 0;
    QPoint pen_;
    SurfaceImage *view_;
};

} // namespace toolkit
