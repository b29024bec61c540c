#include "toolkit/widgets/longtextlineedit.h"

#include "toolkit/font.h"
#include "toolkit/text.h"
#include "toolkit/widgets/actionsmenu.h"

#include <QAccessible>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QMenu>
#include <QPainter>
#include <QStyleHints>
#include <QStyleOptionFrame>
#include <QTextLine>

#include <algorithm>
#include <limits>

namespace toolkit {

namespace {

// Characters laid out on either side of the caret for painting: far more than the box shows.
constexpr qsizetype ShownAround = 500;
// Characters on either side of the caret that an input method is told of.
constexpr qsizetype SurroundingAround = 1000;
constexpr int HorizontalMargin = QtLineEditInternals::HorizontalMargin;

// A stretch of `text` around `at`, `around` characters either way, that splits no surrogate pair.
std::pair<qsizetype, qsizetype> around(const QString &text, qsizetype at, qsizetype around) {
    return {wholeCharacters(text, std::max<qsizetype>(0, at - around), Round::Down),
            wholeCharacters(text, std::min(text.size(), at + around), Round::Up)};
}

// As the line edit shows its text: control characters and line breaks as spaces.
QString displayed(QString text) {
    for (QChar &c : text) {
        if ((c.unicode() < 0x20 && c != u'\t') || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator) {
            c = u' ';
        }
    }
    return text;
}

} // namespace

LongTextLineEdit::LongTextLineEdit(QWidget *parent)
    : QLineEdit(parent) {
    setMaxLength(std::numeric_limits<int>::max());
    // The line edit still lays out the whole line when the text or the selection changes.
    setFont(fontWithoutShaping());
    connect(this, &QLineEdit::textChanged, this, &LongTextLineEdit::showCaret);
    connect(this, &QLineEdit::selectionChanged, this, &LongTextLineEdit::showCaret);
    connect(this, &QLineEdit::cursorPositionChanged, this, &LongTextLineEdit::showCaret);
    // The line edit blinks a caret of its own, that this box does not show, and finds it on the
    // whole line at each blink.
    if (QObject *control = QtLineEditInternals::lineControl(*this)) {
        control->installEventFilter(this);
    }
}

QObject *QtLineEditInternals::lineControl(const QLineEdit &edit) {
    for (QObject *child : edit.children()) {
        if (qstrcmp(child->metaObject()->className(), "QWidgetLineControl") == 0) {
            return child;
        }
    }
    return nullptr;
}

bool LongTextLineEdit::eventFilter(QObject *watched, QEvent *event) {
    return event->type() == QEvent::Timer || QLineEdit::eventFilter(watched, event);
}

void LongTextLineEdit::changeEvent(QEvent *event) {
    QLineEdit::changeEvent(event);
    caretX_.reset();
}

void LongTextLineEdit::contextMenuEvent(QContextMenuEvent *event) {
    QMenu *menu = createStandardContextMenu();
    // The actions added to the box follow the standard items, which stay Qt's own.
    if (!actions().isEmpty()) {
        menu->addSeparator();
        menu->addActions(actions());
    }
    popUpContextMenu(menu, event);
}

void LongTextLineEdit::focusInEvent(QFocusEvent *event) {
    switch (event->reason()) {
    case Qt::MouseFocusReason:
    case Qt::ActiveWindowFocusReason:
    case Qt::PopupFocusReason:
        QLineEdit::focusInEvent(event);
        break;
    default:
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
        // Qt 6.4 tells screen readers of the selection before the focus, and Orca then reads the
        // text before the box's name: with one listening, the text is selected once it has heard.
        if (QAccessible::isActive()) {
            QFocusEvent unselecting(event->type(), Qt::OtherFocusReason);
            QLineEdit::focusInEvent(&unselecting);
            QMetaObject::invokeMethod(this, &LongTextLineEdit::selectAllOnce, Qt::QueuedConnection);
            break;
        }
#endif
        QLineEdit::focusInEvent(event);
        selectAllOnce();
    }
    showCaret();
}

void LongTextLineEdit::selectAllOnce() {
    // Selecting lays the whole line out again: not twice for one focus.
    if (hasFocus() && (selectionStart() != 0 || selectionLength() != text().size())) {
        selectAll();
    }
}

void LongTextLineEdit::focusOutEvent(QFocusEvent *event) {
    QLineEdit::focusOutEvent(event);
    blink_.stop();
    update();
}

void LongTextLineEdit::showCaret() {
    caretX_.reset();
    caretShown_ = true;
    const int flash = QGuiApplication::styleHints()->cursorFlashTime();
    if (hasFocus() && flash > 0) {
        blink_.start(flash / 2, this);
    } else {
        blink_.stop();
    }
    update();
}

void LongTextLineEdit::timerEvent(QTimerEvent *event) {
    if (event->timerId() != blink_.timerId()) {
        QLineEdit::timerEvent(event);
        return;
    }
    caretShown_ = !caretShown_;
    update();
}

QRect LongTextLineEdit::contentsArea() const {
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    return style()
        ->subElementRect(QStyle::SE_LineEditContents, &panel, this)
        .marginsRemoved(textMargins());
}

int LongTextLineEdit::caretX() const {
    if (!caretX_) {
        caretX_ = cursorRect().x() + QtLineEditInternals::CaretRectLead - contentsArea().x() -
                  HorizontalMargin;
    }
    return *caretX_;
}

LongTextLineEdit::Shown LongTextLineEdit::shownAroundCaret() const {
    const auto [from, to] = around(text(), cursorPosition(), ShownAround);
    return {from, to};
}

int LongTextLineEdit::caretInLayout(const Shown &shown) const {
    return static_cast<int>(cursorPosition() - shown.from) +
           (preedit_.isEmpty() ? 0 : preeditCursor_);
}

int LongTextLineEdit::layoutLeft(const QTextLine &line, const Shown &shown) const {
    return contentsArea().x() + HorizontalMargin + caretX() -
           qRound(line.cursorToX(caretInLayout(shown))) - scroll_;
}

QRect LongTextLineEdit::characterRect(qsizetype offset) const {
    QTextLayout layout;
    const Shown shown = layOutAroundCaret(layout);
    if (offset < shown.from || offset >= shown.to) {
        return {};
    }
    const QTextLine line = layout.lineAt(0);
    const int left = layoutLeft(line, shown);
    const auto inLayout = static_cast<int>(offset - shown.from);
    const int x = left + qRound(line.cursorToX(inLayout));
    const int next = left + qRound(line.cursorToX(inLayout + 1));
    const QRect area = contentsArea();
    const int height = fontMetrics().height();
    return {std::min(x, next), area.y() + (area.height() - height + 1) / 2,
            std::max(std::abs(next - x), 1), height};
}

int LongTextLineEdit::characterAt(QPoint point) {
    followCaret();
    return cursorPositionAt(point + QPoint(scroll_, 0));
}

void LongTextLineEdit::scrollToCaret(const QTextLine &line, const Shown &shown, int width) const {
    // As a line edit scrolls: no further than keeps the caret in view, and no blank space after
    // the end of a text wider than the box.
    const int caret = caretX();
    const int start = caret - qRound(line.cursorToX(caretInLayout(shown)));
    const bool wholeText = shown.from == 0 && shown.to == text().size();
    const int used = qRound(line.naturalTextWidth()) + 1;
    const int end = shown.to == text().size() ? start + used : std::numeric_limits<int>::max();
    if (wholeText && used <= width) {
        scroll_ = 0;
    } else if (caret - scroll_ >= width) {
        scroll_ = caret - width + 1;
    } else if (caret - scroll_ < 0) {
        scroll_ = caret;
    } else if (end - scroll_ < width) {
        scroll_ = end - width + 1;
    }
    scroll_ = std::max(scroll_, 0);
}

LongTextLineEdit::Shown LongTextLineEdit::layOutAroundCaret(QTextLayout &layout) const {
    const Shown shown = shownAroundCaret();
    layout.setText(displayed(text().mid(shown.from, shown.to - shown.from)));
    layout.setFont(font());
    QTextOption option = layout.textOption();
    option.setTextDirection(layoutDirection());
    option.setFlags(QTextOption::IncludeTrailingSpaces);
    layout.setTextOption(option);
    const int atCaret = static_cast<int>(cursorPosition() - shown.from);
    if (!preedit_.isEmpty()) {
        layout.setPreeditArea(atCaret, preedit_);
        QList<QTextLayout::FormatRange> formats = preeditFormats_;
        for (QTextLayout::FormatRange &f : formats) {
            f.start += atCaret;
        }
        layout.setFormats(formats);
    }
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    scrollToCaret(line, shown, contentsArea().width() - 2 * HorizontalMargin);
    return shown;
}

void LongTextLineEdit::followCaret() const {
    QTextLayout layout;
    layOutAroundCaret(layout);
}

void LongTextLineEdit::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &painter, this);
    const QRect area = contentsArea();
    painter.setClipRect(area);

    QTextLayout layout;
    const Shown shown = layOutAroundCaret(layout);
    const QTextLine line = layout.lineAt(0);

    const QFontMetrics metrics = fontMetrics();
    const int height = std::max(metrics.height(), qCeil(line.height()));
    const QRect lineRect(area.x() + HorizontalMargin, area.y() + (area.height() - height + 1) / 2,
                         area.width() - 2 * HorizontalMargin, height);
    const QPointF at(layoutLeft(line, shown),
                     lineRect.y() - (qRound(line.ascent()) - metrics.ascent()));

    const QPalette pal = palette();
    QList<QTextLayout::FormatRange> selections;
    if (hasSelectedText()) {
        const qsizetype from = std::max<qsizetype>(selectionStart(), shown.from);
        const qsizetype to = std::min<qsizetype>(selectionStart() + selectionLength(), shown.to);
        if (from < to) {
            QTextLayout::FormatRange selected;
            selected.start = static_cast<int>(from - shown.from);
            selected.length = static_cast<int>(to - from);
            selected.format.setBackground(pal.brush(QPalette::Highlight));
            selected.format.setForeground(pal.brush(QPalette::HighlightedText));
            selections.append(selected);
        }
    }
    painter.setPen(pal.text().color());
    layout.draw(&painter, at, selections, area);
    if (hasFocus() && caretShown_ && !isReadOnly() && !preeditHidesCaret_) {
        layout.drawCursor(&painter, at, caretInLayout(shown),
                          style()->pixelMetric(QStyle::PM_TextCursorWidth, &panel, this));
    }
}

void LongTextLineEdit::inputMethodEvent(QInputMethodEvent *event) {
    preedit_ = event->preeditString();
    preeditCursor_ = static_cast<int>(preedit_.size());
    preeditHidesCaret_ = false;
    preeditFormats_.clear();
    for (const QInputMethodEvent::Attribute &a : event->attributes()) {
        if (a.type == QInputMethodEvent::Cursor) {
            preeditCursor_ = a.start;
            preeditHidesCaret_ = a.length == 0;
        } else if (a.type == QInputMethodEvent::TextFormat) {
            const QTextCharFormat format = qvariant_cast<QTextFormat>(a.value).toCharFormat();
            if (format.isValid()) {
                preeditFormats_.append({a.start, a.length, format});
            }
        }
    }
    QLineEdit::inputMethodEvent(event);
    showCaret();
}

QVariant LongTextLineEdit::inputMethodQuery(Qt::InputMethodQuery query, QVariant argument) const {
    // The position at a point of the box (where touch selection handles stand) is one in the
    // whole text, where the line edit places a selection, and the line edit finds it on its line
    // as if never scrolled.
    if (query == Qt::ImCursorPosition && argument.isValid()) {
        followCaret();
        return QLineEdit::inputMethodQuery(query, argument.toPointF() + QPointF(scroll_, 0));
    }
    return inputMethodQuery(query);
}

QVariant LongTextLineEdit::inputMethodQuery(Qt::InputMethodQuery query) const {
    switch (query) {
    case Qt::ImCursorRectangle:
    case Qt::ImAnchorRectangle: {
        followCaret();
        QRect rect = QLineEdit::inputMethodQuery(query).toRect();
        const QRect area = contentsArea();
        rect.translate(-scroll_, 0);
        rect.moveTop(area.y() + (area.height() - fontMetrics().height() + 1) / 2);
        return rect;
    }
    case Qt::ImSurroundingText:
    case Qt::ImCursorPosition:
    case Qt::ImAbsolutePosition:
    case Qt::ImAnchorPosition:
    case Qt::ImTextBeforeCursor:
    case Qt::ImTextAfterCursor:
        break;
    default:
        return QLineEdit::inputMethodQuery(query);
    }
    // An input method needs the words around the caret, not a million characters a keystroke.
    const QString whole = text();
    const auto [from, to] = around(whole, cursorPosition(), SurroundingAround);
    const qsizetype caret = cursorPosition() - from;
    switch (query) {
    case Qt::ImSurroundingText:
        return whole.mid(from, to - from);
    // Positions are told from the start of the surrounding text, the absolute one in the whole
    // text, where the line edit takes a selection: Qt's Wayland input context counts one from
    // ImAbsolutePosition less ImCursorPosition.
    case Qt::ImCursorPosition:
        return static_cast<int>(caret);
    case Qt::ImAbsolutePosition:
        return static_cast<int>(cursorPosition());
    case Qt::ImAnchorPosition: {
        const qsizetype anchor = !hasSelectedText()                     ? cursorPosition()
                                 : selectionStart() == cursorPosition() ? selectionEnd()
                                                                        : selectionStart();
        return static_cast<int>(std::clamp(anchor - from, qsizetype(0), to - from));
    }
    case Qt::ImTextBeforeCursor:
        return whole.mid(from, caret);
    default:
        return whole.mid(cursorPosition(), to - cursorPosition());
    }
}

bool LongTextLineEdit::event(QEvent *event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick: {
        // The line edit places mouse positions on its line as if it were never scrolled.
        followCaret();
        const auto *mouse = static_cast<QMouseEvent *>(event);
        QMouseEvent moved(mouse->type(), mouse->position() + QPointF(scroll_, 0),
                          mouse->scenePosition(), mouse->globalPosition(), mouse->button(),
                          mouse->buttons(), mouse->modifiers(), mouse->pointingDevice());
        moved.setTimestamp(mouse->timestamp());
        const bool handled = QLineEdit::event(&moved);
        event->setAccepted(moved.isAccepted());
        return handled;
    }
    default:
        return QLineEdit::event(event);
    }
}

void LongTextLineEdit::dragMoveEvent(QDragMoveEvent *event) {
    followCaret();
    QDragMoveEvent moved(event->position().toPoint() + QPoint(scroll_, 0), event->possibleActions(),
                         event->mimeData(), event->buttons(), event->modifiers());
    QLineEdit::dragMoveEvent(&moved);
    event->setDropAction(moved.dropAction());
    event->setAccepted(moved.isAccepted());
}

void LongTextLineEdit::dropEvent(QDropEvent *event) {
    followCaret();
    QDropEvent moved(event->position() + QPointF(scroll_, 0), event->possibleActions(),
                     event->mimeData(), event->buttons(), event->modifiers());
    QLineEdit::dropEvent(&moved);
    event->setDropAction(moved.dropAction());
    event->setAccepted(moved.isAccepted());
}

} // namespace toolkit
