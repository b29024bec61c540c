#pragma once

#include <QImage>
#include <QWidget>

namespace toolkit {

// Shows an off-screen picture at its top-left corner, unscaled.
class SurfaceImage : public QWidget {
    Q_OBJECT
public:
    explicit SurfaceImage(QWidget *parent = nullptr);

    // The picture stays owned by the caller and must outlive this widget's use of it.
    void showPicture(const QImage *picture);
    // What screen readers read of the picture. They hear of every change, so only a new text is
    // told.
    void describe(const QString &description);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    const QImage *picture_ = nullptr;
};

} // namespace toolkit
