#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <utility>
#include <vector>

// The window operations that the program's logic needs, kept small so that the logic can be
// exercised against simple fakes as well as against the real widgets.
namespace toolkit {

// A row of a list view: its caption and its sub-item.
using ListRow = std::pair<QString, QString>;

// A report-style list whose rows carry a caption (first column) and one sub-item (second column).
class ListView {
public:
    virtual ~ListView() = default;
    virtual int rowCount() const = 0;
    // -1 when no row is selected.
    virtual int selectedIndex() const = 0;
    // Selects row `row` alone; neither moves the keyboard focus mark nor scrolls.
    virtual void selectRow(int row) = 0;
    virtual QString caption(int row) const = 0;
    virtual void setCaption(int row, const QString &text) = 0;
    virtual QString subItem(int row) const = 0;
    virtual void setSubItem(int row, const QString &text) = 0;
    // The new row is the last one.
    virtual void appendRow(const QString &caption, const QString &subItem) = 0;
    // The new row is row `row`; it and the later rows move down by one.
    virtual void insertRow(int row, const QString &caption, const QString &subItem) = 0;
    // Later rows move up by one.
    virtual void removeRow(int row) = 0;
    // Many rows in one go, as fast for the view as one: the first new row is row `row`.
    virtual void insertRows(int row, const std::vector<ListRow> &rows) = 0;
    // Rows `row` to `row + count - 1`; later rows move up.
    virtual void removeRows(int row, int count) = 0;
};

class EditBox {
public:
    virtual ~EditBox() = default;
    virtual QString text() const = 0;
    virtual void setText(const QString &text) = 0;
    // Gaining the focus this way selects the whole text; keeping it changes nothing.
    virtual void focus() = 0;
};

class PushButton {
public:
    virtual ~PushButton() = default;
    virtual bool isEnabled() const = 0;
    virtual void setEnabled(bool enabled) = 0;
    virtual void setVisible(bool visible) = 0;
    virtual bool hasFocus() const = 0;
};

class MenuItem {
public:
    virtual ~MenuItem() = default;
    // A disabled item can be neither chosen nor reached by its keys.
    virtual void setEnabled(bool enabled) = 0;
};

class CheckBox {
public:
    virtual ~CheckBox() = default;
    virtual bool isChecked() const = 0;
};

class MultiLineEdit {
public:
    virtual ~MultiLineEdit() = default;
    // Replaces the whole text; line feeds break the lines.
    virtual void setText(QString text) = 0;
    virtual void selectAll() = 0;
    // Puts the selection on the clipboard as plain text with CR LF line breaks.
    virtual void copySelection() = 0;
    virtual bool isEmpty() const = 0;
    // True while the text is the last one setText gave, not edited since.
    virtual bool showsTextSet() const = 0;
};

class GroupBox {
public:
    virtual ~GroupBox() = default;
    // The caption; screen readers read it too, as the description of the box's main control.
    virtual void setCaption(const QString &caption) = 0;
};

// The desktop's own dialog for where to write a file.
class SaveDialog {
public:
    virtual ~SaveDialog() = default;
    // The path the user chose, having agreed to replace a file that is there; empty when they
    // cancelled.
    virtual QString choosePath(const QString &title, const QString &suggestedName,
                               const QString &filter) = 0;
    // Tells the user that the file could not be written, and waits until they have read it.
    virtual void tellFailure(const QString &title, const QString &message) = 0;
};

class Clipboard {
public:
    virtual ~Clipboard() = default;
    // Offers a picture as image/png, with the same as HTML (text/html) and as text (text/plain)
    // for programs that take no picture or want its alternative text.
    virtual void setPicture(const QByteArray &png, const QString &html, const QString &text) = 0;
    // Offers the same as HTML (text/html) and as text (text/plain).
    virtual void setHtmlAndText(const QString &html, const QString &text) = 0;

    // The HTML and the text the clipboard holds, either empty where it holds none.
    struct Texts {
        QString html;
        QString text;
    };
    // Nothing when either holds more than `mostBytes` bytes: so much is not even read.
    virtual std::optional<Texts> texts(qsizetype mostBytes) const = 0;
};

} // namespace toolkit
