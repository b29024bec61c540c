#pragma once

#include <QLineEdit>

// A single-line edit box that selects its whole text whenever it gains the focus other than by a
// mouse click on it, so that typing after Tab replaces the text. It sets no length limit.
class SelectAllLineEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit SelectAllLineEdit(QWidget *parent = nullptr);

protected:
    void focusInEvent(QFocusEvent *event) override;
};
