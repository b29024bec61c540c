#pragma once

#include "toolkit/controls.h"
#include "toolkit/surface.h"
#include "toolkit/widgets/memopane.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>

#include <memory>

// The window operations on Qt's own widgets.
namespace toolkit {

class FontChooserDialog;

class QtEditBox final : public EditBox {
public:
    explicit QtEditBox(QLineEdit *edit)
        : edit_(edit) {}
    QString text() const override { return edit_->text(); }
    void setText(const QString &text) override;
    void focus() override;

private:
    QLineEdit *edit_;
};

class QtPushButton final : public PushButton {
public:
    explicit QtPushButton(QPushButton *button)
        : button_(button) {}
    bool isEnabled() const override { return button_->isEnabled(); }
    void setEnabled(bool enabled) override { button_->setEnabled(enabled); }
    void setVisible(bool visible) override { button_->setVisible(visible); }
    bool hasFocus() const override { return button_->hasFocus(); }

private:
    QPushButton *button_;
};

class QtMenuItem final : public MenuItem {
public:
    explicit QtMenuItem(QAction *action)
        : action_(action) {}
    void setEnabled(bool enabled) override { action_->setEnabled(enabled); }

private:
    QAction *action_;
};

class QtCheckBox final : public CheckBox {
public:
    explicit QtCheckBox(QCheckBox *box)
        : box_(box) {}
    bool isChecked() const override { return box_->isChecked(); }

private:
    QCheckBox *box_;
};

class QtMultiLineEdit final : public MultiLineEdit {
public:
    explicit QtMultiLineEdit(MemoPane *edit)
        : edit_(edit) {}
    void setText(QString text) override { edit_->replaceText(std::move(text)); }
    void selectAll() override { edit_->selectAll(); }
    void copySelection() override;
    bool isEmpty() const override { return edit_->document()->isEmpty(); }
    bool showsTextSet() const override { return edit_->showsTextReplaced(); }

private:
    MemoPane *edit_;
};

class QtGroupBox final : public GroupBox {
public:
    QtGroupBox(QGroupBox *box, QWidget *mainControl)
        : box_(box)
        , mainControl_(mainControl) {}
    void setCaption(const QString &caption) override;

private:
    QGroupBox *box_;
    QWidget *mainControl_;
};

// Qt's file dialog, which is the desktop's own where the platform theme has one.
class QtSaveDialog final : public SaveDialog {
public:
    explicit QtSaveDialog(QWidget *parent)
        : parent_(parent) {}
    QString choosePath(const QString &title, const QString &suggestedName,
                       const QString &filter) override;
    void tellFailure(const QString &title, const QString &message) override;

private:
    QWidget *parent_;
};

class QtClipboard final : public Clipboard {
public:
    void setPicture(const QByteArray &png, const QString &html, const QString &text) override;
    void setHtmlAndText(const QString &html, const QString &text) override;
    std::optional<Texts> texts(qsizetype mostBytes) const override;
};

// `picture` as a PNG file that gives its density, so that programs paste it at its size in
// pixels of the window rather than of the picture.
QByteArray pngOf(const QImage &picture);

// The font chooser on Qt. Its dialog is made on first use, so that it costs nothing at start-up.
class QtFontChooser final : public FontChooser {
public:
    QtFontChooser(const Font &initial, QWidget *parent);
    ~QtFontChooser() override;

    Font currentFont() const override { return current_; }
    bool execute() override;
    bool followWindowText(const QColor &windowText) override;
    bool inWindowText() const override { return inWindowText_; }
    void restore(const Font &font, bool inWindowText) override;

private:
    Font current_;
    QColor windowText_;
    // The current font's colour is the window-text colour, not one the user picked.
    bool inWindowText_ = true;
    QWidget *parent_;
    std::unique_ptr<FontChooserDialog> dialog_;
};

} // namespace toolkit
