#pragma once

#include "toolkit/font.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;

namespace toolkit {

// What the user picked in the font chooser, with what the confirmation rules need to know.
struct FontChoice {
    QString family;
    int pixelSize = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    QColor color;
    // The colour list shows another entry than it did when the chooser opened.
    bool colorChanged = false;
    QFontDatabase::WritingSystem script = QFontDatabase::Any;
    // The face, or the script list, shows another entry than it did when the chooser opened.
    bool faceOrScriptChanged = false;
};

// The modal font chooser: face, style, pixel size, underline, strike-out, colour and script,
// with a sample of the choice.
class FontChooserDialog : public QDialog {
    Q_OBJECT
public:
    // `windowText` joins the colour list when it is none of the classic sixteen.
    explicit FontChooserDialog(const QColor &windowText, QWidget *parent = nullptr);

    // Shows `font` as the starting choice.
    void showFont(const Font &font);
    FontChoice choice() const;

private:
    // Lists the scripts of the chosen face, `preferred` selected if the face offers it.
    void fillScripts(QFontDatabase::WritingSystem preferred);
    int colorIndex(const QColor &color);
    int chosenPixelSize() const;
    void showSample();

    QListWidget *faceList_;
    QListWidget *styleList_;
    QComboBox *sizeBox_;
    QCheckBox *strikeOutBox_;
    QCheckBox *underlineBox_;
    QComboBox *colorBox_;
    QComboBox *scriptBox_;
    QLabel *sample_;

    QString openingFamily_;
    int openingPixelSize_ = 0;
    int openingColor_ = -1;
    QFontDatabase::WritingSystem openingScript_ = QFontDatabase::Any;
};

} // namespace toolkit
