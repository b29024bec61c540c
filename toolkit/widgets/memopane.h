#pragma once

#include "toolkit/widgets/memopanetext.h"

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTextBlock>

#include <optional>

namespace toolkit {

// The multi-line markup pane. Its selection shows only while it has the focus. The actions added
// to it come first in its context menu, above the standard editing items.
//
// To the user it works by lines as if every line were a paragraph of its own: the scroll bar
// counts lines, a triple click selects one line, an input method sees the caret's line, and
// U+FDD0 and U+FDD1 come out as they went in. A text that differs from the last one in a few
// lines replaces it by editing those lines; a text of tens of thousands of lines fills it within
// a frame. For that its document holds the text as toPaneText describes, and whoever reads it
// must know two things. One text block holds up to 64 short lines, joined by U+2028: blocks are
// not lines. And U+FDD0, U+FDD1 and U+FDD2 are held as the stand-in U+FDD2: toPlainText(),
// QPlainTextEdit::textCursor() and the document give stand-ins; plainText() and selectedText()
// give the characters the user put in.
class MemoPane : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit MemoPane(QWidget *parent = nullptr);

    // Replaces the whole text, like setPlainText: the undo history is dropped and the caret goes
    // to the start. But a text the user edited stays in the history: the replacement is one step
    // that Undo takes back.
    void replaceText(QString text);
    // True while the pane shows the last replaced text as it was given.
    bool showsTextReplaced() const { return made_.has_value(); }
    // The selection with its line breaks as paragraph (U+2029) or line (U+2028) separators.
    QString selectedText() const;
    // The whole text with a line feed for every line break.
    QString plainText() const;

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    // What input methods ask through QInputMethod::queryFocusObject(), which calls this by name:
    // the same as above where no argument is given.
    Q_INVOKABLE QVariant inputMethodQuery(Qt::InputMethodQuery query, QVariant argument) const;

signals:
    // The user edited the text that replaceText gave.
    void replacedTextEdited();

protected:
    void changeEvent(QEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    QMimeData *createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    void hideSelectionWithoutFocus();
    void fill(const PaneText &pane);
    void edit(const PaneText &pane, const QList<LineEdit> &edits);
    void countLines(QTextBlock block, const QTextBlock &last);
    void keepStandIns(int at, const QList<PaneText::Kept> &kept);
    QString restored(QString text, int at) const;
    QTextCursor lineAt(int position) const;

    // The text of the last Make while the pane still shows it unchanged.
    std::optional<PaneText> made_;
    bool replacing_ = false;
    QElapsedTimer sinceDoubleClick_;
    QPoint doubleClickAt_;
    // The line a triple click selected, while the button is held: dragging extends by lines.
    QTextCursor tripleClickLine_;
};

} // namespace toolkit
