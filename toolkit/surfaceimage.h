#pragma once

#include <QImage>
#include <QWidget>

// Shows an off-screen picture at its top-left corner, unscaled.
class SurfaceImage : public QWidget {
    Q_OBJECT
public:
    explicit SurfaceImage(QWidget *parent = nullptr);

    // The picture stays owned by the caller and must outlive this widget's use of it.
    void showPicture(const QImage *picture);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    const QImage *picture_ = nullptr;
};
