#pragma once

#include "toolkit/surface.h"

#include <QFontMetrics>
#include <QHash>
#include <QImage>
#include <QWidget>

namespace toolkit {

// Shows an off-screen picture at its top-left corner, unscaled, and tells when the screen wants
// the picture at another device pixel ratio.
class SurfaceImage : public QWidget {
    Q_OBJECT
public:
    explicit SurfaceImage(QWidget *parent = nullptr);

    // The picture stays owned by the caller and must outlive this widget's use of it.
    void showPicture(const QImage *picture);
    // What screen readers read of the picture.
    void describe(const QString &description);

signals:
    // The window now shows `ratio` device pixels a pixel: a new screen, or a new scale of its own.
    void devicePixelRatioChanged(qreal ratio);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void checkDevicePixelRatio();

    const QImage *picture_ = nullptr;
};

// An off-screen picture in memory, shown by a SurfaceImage.
class QtSurface final : public DrawingSurface {
public:
    QtSurface(int width, int height, SurfaceImage *view = nullptr, qreal devicePixelRatio = 1);

    const QImage &picture() const { return picture_; }

    int width() const override { return size_.width(); }
    int height() const override { return size_.height(); }
    int textWidth(const QString &text) const override;
    int textHeight(const QString &text) const override;
    void setFont(const Font &font) override;
    void fillWhite() override;
    void drawText(int x, int y, const QString &text) override;
    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;

    // Makes the picture anew at `ratio` device pixels a pixel, showing the old one enlarged until
    // it is redrawn.
    void setDevicePixelRatio(qreal ratio);

    // Lets go of the widths of texts not measured since the last call: called after each redraw,
    // it forgets the texts of entries that were changed or deleted, or no longer reach the picture.
    void forgetTextsNotMeasured();
    // How many characters the remembered widths keep alive.
    qsizetype rememberedCharacters() const { return rememberedCharacters_; }

private:
    void changed();
    QString shownPart(int x, const QString &text) const;

    QSize size_;
    QImage picture_;
    Font font_;
    QFontMetrics metrics_;
    // Every redraw measures the texts that reach the picture again; long texts are slow to measure.
    // Bounded by the characters they hold, since a forgotten text is only measured again.
    struct Remembered {
        int width = 0;
        bool measuredSinceForgetting = false;
    };
    mutable QHash<QString, Remembered> widths_;
    mutable qsizetype rememberedCharacters_ = 0;
    QPoint pen_;
    SurfaceImage *view_;
};

} // namespace toolkit
