#include "toolkit/accessibility/longtextlineeditaccessible.h"

#include "toolkit/widgets/longtextlineedit.h"

#include <QAccessibleWidget>
#include <QTextBoundaryFinder>

#include <algorithm>

namespace toolkit {

namespace {

class BoxAccessible final : public QAccessibleWidget,
                            public QAccessibleTextInterface,
                            public QAccessibleEditableTextInterface {
public:
    explicit BoxAccessible(LongTextLineEdit *box)
        : QAccessibleWidget(box, QAccessible::EditableText) {}

    void *interface_cast(QAccessible::InterfaceType type) override {
        switch (type) {
        case QAccessible::TextInterface:
            return static_cast<QAccessibleTextInterface *>(this);
        case QAccessible::EditableTextInterface:
            return static_cast<QAccessibleEditableTextInterface *>(this);
        default:
            return QAccessibleWidget::interface_cast(type);
        }
    }

    QString text(QAccessible::Text kind) const override {
        const QString value = kind == QAccessible::Value ? box()->text() : QString();
        return value.isEmpty() ? QAccessibleWidget::text(kind) : value;
    }
    void setText(QAccessible::Text kind, const QString &text) override {
        if (kind == QAccessible::Value) {
            box()->setText(text);
        } else {
            QAccessibleWidget::setText(kind, text);
        }
    }
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = box()->isReadOnly();
        state.editable = !state.readOnly;
        state.selectableText = true;
        return state;
    }

    // The text interface, in the box's own offsets.
    void selection(int index, int *start, int *end) const override {
        *start = *end = 0;
        if (index == 0) {
            *start = box()->selectionStart();
            *end = *start + box()->selectionLength();
        }
    }
    int selectionCount() const override { return box()->hasSelectedText() ? 1 : 0; }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int index) override {
        if (index == 0) {
            box()->deselect();
        }
    }
    void setSelection(int index, int start, int end) override {
        if (index == 0) {
            box()->setSelection(start, end - start);
        }
    }
    int cursorPosition() const override { return box()->cursorPosition(); }
    void setCursorPosition(int position) override { box()->setCursorPosition(position); }
    QString text(int start, int end) const override {
        return box()->text().mid(start, end - start);
    }
    // -2 stands for the caret. Qt's own search for a word or sentence may never return (from
    // a first character that starts none, and after the last one): the box finds them itself.
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundary, int *start,
                             int *end) const override {
        if (isItem(boundary)) {
            itemAt(at(offset), boundary, start, end);
            if (*start == 0) {
                *end = 0;
                return {};
            }
            return itemAt(*start - 1, boundary, start, end);
        }
        return QAccessibleTextInterface::textBeforeOffset(at(offset), boundary, start, end);
    }
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundary, int *start,
                         int *end) const override {
        if (isItem(boundary)) {
            return itemAt(at(offset), boundary, start, end);
        }
        return QAccessibleTextInterface::textAtOffset(at(offset), boundary, start, end);
    }
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundary, int *start,
                            int *end) const override {
        if (isItem(boundary)) {
            itemAt(at(offset), boundary, start, end);
            return itemAt(*end, boundary, start, end);
        }
        return QAccessibleTextInterface::textAfterOffset(at(offset), boundary, start, end);
    }
    int characterCount() const override { return static_cast<int>(box()->text().size()); }
    QRect characterRect(int offset) const override {
        const QRect local = box()->characterRect(offset);
        return local.isNull() ? local : local.translated(box()->mapToGlobal(QPoint(0, 0)));
    }
    int offsetAtPoint(const QPoint &point) const override {
        return box()->characterAt(box()->mapFromGlobal(point));
    }
    void scrollToSubstring(int start, int) override { box()->setCursorPosition(start); }
    QString attributes(int, int *start, int *end) const override {
        *start = 0;
        *end = characterCount();
        return {};
    }

    void deleteText(int start, int end) override { replaceText(start, end, QString()); }
    void insertText(int offset, const QString &text) override { replaceText(offset, offset, text); }
    void replaceText(int start, int end, const QString &text) override {
        box()->setSelection(start, end - start);
        box()->insert(text);
    }

private:
    int at(int offset) const { return offset == -2 ? cursorPosition() : offset; }

    static bool isItem(QAccessible::TextBoundaryType boundary) {
        return boundary == QAccessible::WordBoundary || boundary == QAccessible::SentenceBoundary;
    }
    // The word or sentence around an offset, as Qt's own search finds it where that returns;
    // nothing at the end of the text.
    QString itemAt(int offset, QAccessible::TextBoundaryType boundary, int *start, int *end) const {
        const QString text = box()->text();
        QTextBoundaryFinder finder(boundary == QAccessible::WordBoundary
                                       ? QTextBoundaryFinder::Word
                                       : QTextBoundaryFinder::Sentence,
                                   text);
        const auto edge = [&finder] {
            return finder.boundaryReasons() &
                   (QTextBoundaryFinder::StartOfItem | QTextBoundaryFinder::EndOfItem);
        };
        finder.setPosition(std::clamp<int>(offset, 0, static_cast<int>(text.size())));
        while (finder.position() > 0 && !edge()) {
            finder.toPreviousBoundary();
        }
        *start = static_cast<int>(finder.position());
        while (finder.toNextBoundary() != -1 && finder.position() < text.size() && !edge()) {
        }
        *end = finder.position() < 0 ? static_cast<int>(text.size())
                                     : static_cast<int>(finder.position());
        return text.mid(*start, *end - *start);
    }
    LongTextLineEdit *box() const { return static_cast<LongTextLineEdit *>(widget()); }
};

} // namespace

QAccessibleInterface *longTextLineEditAccessible(LongTextLineEdit *box) {
    return new BoxAccessible(box);
}

} // namespace toolkit
