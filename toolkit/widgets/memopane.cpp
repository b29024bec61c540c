#include "toolkit/widgets/memopane.h"

#include "toolkit/font.h"
#include "toolkit/text.h"
#include "toolkit/widgets/actionsmenu.h"
#include "toolkit/widgets/panelayout.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextLayout>
#include <QtMath>

#include <algorithm>
#include <climits>

namespace toolkit {

namespace {

// The character a stand-in stands for, kept in its character format: undo and redo restore it
// with the character.
constexpr int StandsFor = QTextFormat::UserProperty;

// Where the line around `offset` in a paragraph starts, and where its line separator stands (the
// paragraph's end for its last line).
std::pair<qsizetype, qsizetype> lineIn(const QString &paragraph, qsizetype offset) {
    const qsizetype end = paragraph.indexOf(QChar::LineSeparator, offset);
    return {offset == 0 ? 0 : paragraph.lastIndexOf(QChar::LineSeparator, offset - 1) + 1,
            end < 0 ? paragraph.size() : end};
}

// More lines to insert or remove than this, and the pane is filled anew.
constexpr int MostLinesEdited = 64;

} // namespace

MemoPane::MemoPane(QWidget *parent)
    : QPlainTextEdit(parent) {
    auto *doc = new QTextDocument(this);
    doc->setDocumentLayout(new PaneLayout(doc, viewport()));
    setDocument(doc);
    hideSelectionWithoutFocus();
    // The pane lays out each line whole, also a line of a million characters.
    setFont(fontWithoutShaping());
    connect(document(), &QTextDocument::contentsChange, this, [this] {
        if (!replacing_ && made_) {
            made_.reset();
            emit replacedTextEdited();
        }
    });
}

void MemoPane::replaceText(QString text) {
    PaneText pane = toPaneText(std::move(text), true);
    std::optional<QList<LineEdit>> edits;
    if (made_) {
        edits = lineEdits(*made_, pane, MostLinesEdited);
    }
    replacing_ = true;
    if (edits) {
        edit(pane, *edits);
    } else {
        fill(pane);
    }
    replacing_ = false;
    made_ = std::move(pane);
    QAbstractTextDocumentLayout *layout = document()->documentLayout();
    emit layout->documentSizeChanged(layout->documentSize());
}

void MemoPane::fill(const PaneText &pane) {
    QTextDocument *doc = document();
    if (doc->isUndoAvailable()) {
        // A text the user edited is one step of undo away, its stand-ins with it.
        QTextCursor cursor(doc);
        cursor.beginEditBlock();
        cursor.select(QTextCursor::Document);
        cursor.insertText(pane.text, QTextCharFormat());
        keepStandIns(0, pane.kept);
        cursor.endEditBlock();
        doc->setModified(false);
        setTextCursor(QTextCursor(doc));
    } else {
        setPlainText(pane.text);
        if (!pane.kept.isEmpty()) {
            // Part of the new text, not a step to undo.
            doc->setUndoRedoEnabled(false);
            keepStandIns(0, pane.kept);
            doc->setUndoRedoEnabled(true);
            doc->setModified(false);
        }
    }
    // Until a paragraph is laid out, the layout counts it as one line, and the scroll bar would
    // know one line a paragraph: the separators tell the count beforehand. A paragraph already
    // laid out to be shown counts its lines as shown.
    QTextBlock block = document()->firstBlock();
    int lines = 1;
    for (qsizetype i = 1; i <= pane.lineCount(); ++i) {
        if (i == pane.lineCount() ||
            pane.text[pane.lineStarts[i] - 1] == QChar::ParagraphSeparator) {
            if (block.lineCount() <= 1) {
                block.setLineCount(lines);
            }
            block = block.next();
            lines = 0;
        }
        ++lines;
    }
}

void MemoPane::edit(const PaneText &pane, const QList<LineEdit> &edits) {
    // Like setPlainText: the change is no step to undo, the old steps no longer apply, and the
    // caret goes to the start; but after the user's own edits, it is one more step to undo.
    QTextDocument *doc = document();
    const bool edited = doc->isUndoAvailable();
    // The view learns of the new size and shows the new lines once, after the last edit.
    const QSignalBlocker quiet(doc->documentLayout());
    const PaneText &shown = *made_;
    QTextCursor cursor(doc);
    // In one edit block, where moving a cursor lays out no paragraph to learn where it stands.
    cursor.beginEditBlock();
    // From the last edit to the first, so that the positions of the earlier ones hold.
    for (auto e = edits.crbegin(); e != edits.crend(); ++e) {
        const bool linesBefore = e->oldFirst > 0;
        const bool linesAfter = e->oldEnd < shown.lineCount();
        const qsizetype from = linesBefore ? shown.lineStarts[e->oldFirst] - 1 : 0;
        const qsizetype to = linesAfter ? shown.lineStarts[e->oldEnd] : shown.text.size();
        // The new lines make paragraphs of their own, so that no paragraph grows edit by edit.
        const QString breakBefore = linesBefore ? QString(QChar::ParagraphSeparator) : QString();
        const QString breakAfter = linesAfter ? QString(QChar::ParagraphSeparator) : QString();
        QString lines;
        if (e->newFirst < e->newEnd) {
            const qsizetype start = pane.lineStarts[e->newFirst];
            lines = breakBefore + pane.text.mid(start, pane.lineStarts[e->newEnd] - 1 - start) +
                    breakAfter;
        } else if (linesBefore && linesAfter) {
            lines = breakBefore;
        }
        cursor.setPosition(static_cast<int>(from));
        cursor.setPosition(static_cast<int>(to), QTextCursor::KeepAnchor);
        cursor.insertText(lines, QTextCharFormat());
        countLines(doc->findBlock(static_cast<int>(from)),
                   doc->findBlock(static_cast<int>(from + lines.size())));
    }
    cursor.endEditBlock();
    // Recorded rather than left out of the undo history: without one, the document compacts its
    // whole text after every edit.
    if (!edited) {
        doc->clearUndoRedoStacks();
    }
    doc->setModified(false);
    setTextCursor(QTextCursor(doc));
    viewport()->update();
}

void MemoPane::countLines(QTextBlock block, const QTextBlock &last) {
    // As a fill does, for paragraphs that an edit made or cut.
    for (; block.isValid(); block = block.next()) {
        block.setLineCount(static_cast<int>(block.text().count(QChar::LineSeparator)) + 1);
        if (block == last) {
            break;
        }
    }
}

void MemoPane::keepStandIns(int at, const QList<PaneText::Kept> &kept) {
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    for (const PaneText::Kept &standIn : kept) {
        const int position = at + static_cast<int>(standIn.position);
        cursor.setPosition(position);
        cursor.setPosition(position + 1, QTextCursor::KeepAnchor);
        QTextCharFormat format = cursor.charFormat();
        if (standIn.character == PaneText::StandIn) {
            format.clearProperty(StandsFor);
        } else {
            format.setProperty(StandsFor, static_cast<int>(standIn.character));
        }
        cursor.setCharFormat(format);
    }
    cursor.endEditBlock();
}

QString MemoPane::restored(QString text, int at) const {
    QTextCursor cursor(document());
    const QChar standIn(PaneText::StandIn);
    for (qsizetype i = text.indexOf(standIn); i >= 0; i = text.indexOf(standIn, i + 1)) {
        cursor.setPosition(at + static_cast<int>(i) + 1);
        const QVariant original = cursor.charFormat().property(StandsFor);
        if (original.isValid()) {
            text[i] = QChar(static_cast<char16_t>(original.toInt()));
        }
    }
    return text;
}

QString MemoPane::selectedText() const {
    const QTextCursor selection = textCursor();
    return restored(selection.selectedText(), selection.selectionStart());
}

QString MemoPane::plainText() const {
    QTextCursor all(document());
    all.select(QTextCursor::Document);
    return withLineFeeds(restored(all.selectedText(), 0));
}

QTextCursor MemoPane::lineAt(int position) const {
    // From the start of the line to the start of the next, as Qt selects a paragraph.
    const QTextBlock block = document()->findBlock(position);
    const auto [start, separator] = lineIn(block.text(), position - block.position());
    const int end =
        block.position() +
        (separator < block.text().size() ? static_cast<int>(separator) + 1 : block.length());
    QTextCursor line(document());
    line.setPosition(block.position() + static_cast<int>(start));
    line.setPosition(std::min(end, document()->characterCount() - 1), QTextCursor::KeepAnchor);
    return line;
}

void MemoPane::mouseDoubleClickEvent(QMouseEvent *event) {
    QPlainTextEdit::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton) {
        doubleClickAt_ = event->position().toPoint();
        sinceDoubleClick_.start();
    }
}

void MemoPane::mousePressEvent(QMouseEvent *event) {
    const QPoint at = event->position().toPoint();
    const bool tripleClick =
        event->button() == Qt::LeftButton && sinceDoubleClick_.isValid() &&
        !sinceDoubleClick_.hasExpired(QApplication::doubleClickInterval()) &&
        (at - doubleClickAt_).manhattanLength() < QApplication::startDragDistance();
    sinceDoubleClick_.invalidate();
    tripleClickLine_ = QTextCursor();
    const int clicked = cursorForPosition(at).position();
    const int scrolled = verticalScrollBar()->value();
    QPlainTextEdit::mousePressEvent(event);
    // Qt's triple click selects the paragraph, which may hold many lines here, and scrolls to
    // its end.
    const QTextCursor paragraph = textCursor();
    if (tripleClick && paragraph.hasSelection() &&
        document()->findBlock(paragraph.selectionStart()).position() ==
            paragraph.selectionStart()) {
        tripleClickLine_ = lineAt(clicked);
        verticalScrollBar()->setValue(scrolled);
        setTextCursor(tripleClickLine_);
    }
}

void MemoPane::mouseMoveEvent(QMouseEvent *event) {
    if (tripleClickLine_.isNull() || !(event->buttons() & Qt::LeftButton)) {
        QPlainTextEdit::mouseMoveEvent(event);
        return;
    }
    // Dragging on from a triple click selects whole lines, where Qt selects whole paragraphs and
    // may scroll to the end of one. The view moves as Qt moves it for lines.
    const int to = cursorForPosition(event->position().toPoint()).position();
    const int scrolled = verticalScrollBar()->value();
    QPlainTextEdit::mouseMoveEvent(event);
    verticalScrollBar()->setValue(scrolled);
    if (to >= tripleClickLine_.selectionStart() && to <= tripleClickLine_.selectionEnd()) {
        setTextCursor(tripleClickLine_);
        return;
    }
    QTextCursor lines = tripleClickLine_;
    if (to < tripleClickLine_.selectionStart()) {
        lines.setPosition(tripleClickLine_.selectionEnd());
        lines.setPosition(lineAt(to).selectionStart(), QTextCursor::KeepAnchor);
    } else {
        lines.setPosition(tripleClickLine_.selectionStart());
        lines.setPosition(lineAt(to).selectionEnd(), QTextCursor::KeepAnchor);
    }
    setTextCursor(lines);
    verticalScrollBar()->setValue(scrolled);
}

QVariant MemoPane::inputMethodQuery(Qt::InputMethodQuery query, QVariant argument) const {
    // The position at a point (where touch selection handles stand) is Qt's: in the caret's
    // paragraph, where Qt's text control places a selection.
    return query == Qt::ImCursorPosition && argument.isValid()
               ? QPlainTextEdit::inputMethodQuery(query, argument)
               : inputMethodQuery(query);
}

QVariant MemoPane::inputMethodQuery(Qt::InputMethodQuery query) const {
    const QVariant value = QPlainTextEdit::inputMethodQuery(query);
    switch (query) {
    case Qt::ImSurroundingText:
    case Qt::ImCursorPosition:
    case Qt::ImAbsolutePosition:
    case Qt::ImAnchorPosition: {
        // An input method sees the caret's line, as it would if every line were a paragraph, and
        // positions count from the line's start. Qt's text control takes a selection in the
        // caret's paragraph, and Qt's Wayland input context counts one from ImAbsolutePosition
        // less ImCursorPosition: the absolute position is told in the paragraph.
        const QString paragraph = textCursor().block().text();
        const auto [start, end] = lineIn(paragraph, textCursor().positionInBlock());
        if (query == Qt::ImSurroundingText) {
            return paragraph.mid(start, end - start);
        }
        if (query == Qt::ImAbsolutePosition) {
            return textCursor().positionInBlock();
        }
        return value.toInt() - static_cast<int>(start);
    }
    case Qt::ImTextBeforeCursor:
    case Qt::ImTextAfterCursor:
        return withLineFeeds(value.toString());
    default:
        return value;
    }
}

void MemoPane::inputMethodEvent(QInputMethodEvent *event) {
    const bool standIns = needsStandIns(event->commitString());
    const PaneText commit = standIns ? toPaneText(event->commitString(), false) : PaneText{};
    const int at = textCursor().selectionStart() + event->replacementStart();
    QInputMethodEvent held(event->preeditString(), event->attributes());
    held.setCommitString(standIns ? commit.text : event->commitString(), event->replacementStart(),
                         event->replacementLength());
    QPlainTextEdit::inputMethodEvent(&held);
    event->setAccepted(held.isAccepted());
    if (!standIns) {
        return;
    }
    QTextCursor step(document());
    step.joinPreviousEditBlock();
    keepStandIns(at, commit.kept);
    step.endEditBlock();
}

void MemoPane::changeEvent(QEvent *event) {
    QPlainTextEdit::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        hideSelectionWithoutFocus();
    }
}

void MemoPane::hideSelectionWithoutFocus() {
    // The pane paints its selection in the inactive colours while it lacks the focus: those of
    // its background and text. Only these two are set, so that a palette from a style sheet or
    // from elsewhere stays, and only when they differ, so that the change ends here.
    QPalette colors = palette();
    for (const auto &[role, shownAs] : {std::pair(QPalette::Highlight, QPalette::Base),
                                        std::pair(QPalette::HighlightedText, QPalette::Text)}) {
        colors.setBrush(QPalette::Inactive, role, colors.brush(QPalette::Inactive, shownAs));
    }
    if (colors != palette()) {
        setPalette(colors);
    }
}

QMimeData *MemoPane::createMimeDataFromSelection() const {
    // Plain text alone: the pane holds nothing else.
    auto *data = new QMimeData;
    data->setText(withLineFeeds(selectedText()));
    return data;
}

void MemoPane::insertFromMimeData(const QMimeData *source) {
    const QString text = source->text();
    if (!needsStandIns(text)) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    const PaneText pasted = toPaneText(text, false);
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    const int at = cursor.selectionStart();
    cursor.insertText(pasted.text);
    keepStandIns(at, pasted.kept);
    cursor.endEditBlock();
    setTextCursor(cursor);
    ensureCursorVisible();
}

void MemoPane::contextMenuEvent(QContextMenuEvent *event) {
    // The standard items stay Qt's own, texts and translations included.
    QMenu *menu = createStandardContextMenu();
    QAction *firstStandard = menu->actions().value(0);
    menu->insertActions(firstStandard, actions());
    menu->insertSeparator(firstStandard);
    popUpContextMenu(menu, event);
}

} // namespace toolkit
