#pragma once

#include <QBasicTimer>
#include <QLineEdit>
#include <QList>
#include <QTextLayout>

#include <optional>

class QTextLine;

namespace toolkit {

// What the long-text line edit takes from Qt's line edit beyond its public interface: the values
// of Qt's private QLineEditPrivate and QWidgetLineControl, the same in Qt 6.4 and Qt 6.8.
// test_mainform checks each against a plain line edit, so that a Qt release that changes one fails
// there rather than misplacing the caret.
struct QtLineEditInternals {
    // The margin between the line edit's contents rectangle and its text.
    static constexpr int HorizontalMargin = 2;
    // cursorRect() starts this far left of the caret.
    static constexpr int CaretRectLead = 5;
    // The private child that lays the line out and blinks the caret, found by its class name. Its
    // timer events are those of the blink, of one timer.
    static QObject *lineControl(const QLineEdit &edit);
};

// A single-line edit box for texts of any length, a million characters among them. It selects its
// whole text whenever it gains the focus other than by a mouse click on it, so that typing after
// Tab replaces the text. It sets no length limit. It always shows its text as typed, from the left:
// placeholder text, alignment and echo mode cannot be set.
//
// It paints only the stretch of its text around the caret. A plain line edit measures its whole
// text afresh and draws every glyph of it on every paint, seconds for a text of a million
// characters, and the blinking caret asks for a paint twice a second. The line edit still keeps the
// text, the caret, the selection, the undo history, the keys and the input method; it lays out its
// line as if it were never scrolled, and this box keeps the scroll, so that mouse positions and the
// caret's place for the input method are moved by it on their way in and out.
class LongTextLineEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit LongTextLineEdit(QWidget *parent = nullptr);

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    // What input methods ask through QInputMethod::queryFocusObject(), which calls this by name:
    // the same as above where no argument is given.
    Q_INVOKABLE QVariant inputMethodQuery(Qt::InputMethodQuery query, QVariant argument) const;

    // Where a character of the text shows, in the box's coordinates; empty for one far out of view.
    QRect characterRect(qsizetype offset) const;
    // The caret position nearest to a point in the box, as a click there puts it.
    int characterAt(QPoint point);

    void setPlaceholderText(const QString &) = delete;
    void setAlignment(Qt::Alignment) = delete;
    void setEchoMode(EchoMode) = delete;

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    bool event(QEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void timerEvent(QTimerEvent *event) override;
    void changeEvent(QEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Selects the whole text, while the box has the focus, unless it already is.
    void selectAllOnce();
    // The stretch of the text that is laid out for painting, from `from` on.
    struct Shown {
        qsizetype from = 0;
        qsizetype to = 0;
    };
    Shown shownAroundCaret() const;
    QRect contentsArea() const;
    // Where the caret stands on the whole, unscrolled line.
    int caretX() const;
    int caretInLayout(const Shown &shown) const;
    // Where the start of the laid out stretch stands in the box.
    int layoutLeft(const QTextLine &line, const Shown &shown) const;
    // Lays out the stretch around the caret and scrolls as far as keeps the caret in view.
    Shown layOutAroundCaret(QTextLayout &layout) const;
    void followCaret() const;
    void scrollToCaret(const QTextLine &line, const Shown &shown, int width) const;
    void showCaret();

    // Finding the caret on the whole line takes milliseconds: once for each change, not each paint.
    mutable std::optional<int> caretX_;
    // How far the line is scrolled, in pixels: the box's left edge on the whole line.
    mutable int scroll_ = 0;
    QString preedit_;
    int preeditCursor_ = 0;
    bool preeditHidesCaret_ = false;
    QList<QTextLayout::FormatRange> preeditFormats_;
    QBasicTimer blink_;
    bool caretShown_ = true;
};

} // namespace toolkit
