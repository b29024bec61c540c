#include "toolkit/widgets/panelayout.h"

#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextDocument>
#include <QTextLayout>
#include <QtMath>
#include <QWidget>

#include <algorithm>
#include <climits>

namespace toolkit {

namespace {

// A paragraph longer than this is laid out here, not by Qt.
constexpr int LongParagraph = 4096;
// A word up to this long is looked for from the start of a line.
constexpr int ShortWord = 64;

} // namespace

QRectF PaneLayout::blockBoundingRect(const QTextBlock &block) const {
    if (block.isValid() && block.layout()->lineCount() == 0 && isLong(block)) {
        const_cast<PaneLayout *>(this)->layOut(block);
    }
    return QPlainTextDocumentLayout::blockBoundingRect(block);
}

void PaneLayout::documentChanged(int from, int charsRemoved, int charsAdded) {
    // Where Qt would lay out the paragraph at once, as it does one edited within itself, a long
    // one is laid out here: Qt's own test, of the range of both the characters removed and those
    // added, so that no edit (a Delete at the paragraph's start, an undo) reaches Qt's layout.
    QTextDocument *doc = document();
    const QTextBlock block = doc->findBlock(from);
    if (doc->blockCount() == blocks_ && isLong(block) &&
        doc->findBlock(std::max(0, from + charsRemoved + charsAdded - 1)) == block) {
        const bool laidOut = block.layout()->lineCount() > 0;
        const qreal height = laidOut ? blockBoundingRect(block).height() : -1;
        layOut(block);
        if (blockBoundingRect(block).height() == height) {
            emit updateBlock(block);
        } else {
            emit update(QRectF(0, -doc->documentMargin(), 1e9, 1e9));
        }
        return;
    }
    QPlainTextDocumentLayout::documentChanged(from, charsRemoved, charsAdded);
    blocks_ = doc->blockCount();
}

bool PaneLayout::isLong(const QTextBlock &block) const {
    return block.length() > LongParagraph &&
           document()->defaultTextOption().wrapMode() ==
               QTextOption::WrapAtWordBoundaryOrAnywhere &&
           !(document()->defaultTextOption().flags() &
             QTextOption::AddSpaceForLineAndParagraphSeparators);
}

void PaneLayout::layOut(QTextBlock block) {
    block.clearLayout();
    QTextDocument *doc = document();
    const qreal margin = doc->documentMargin();
    const int shown = viewport_->width();
    const qreal width = (shown > 0 ? shown : qreal(INT_MAX)) - 2 * margin;
    const QString text = block.text();
    QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, text);
    // Where Qt's layout may end a word: before a space that breaks or at a break opportunity.
    const auto breakableSpace = [&text](int i) {
        return i < text.size() && text[i].isSpace() && text[i].decompositionTag() != QChar::NoBreak;
    };
    const auto wordEndsIn = [&](int from, int to) {
        for (int i = from + 1; i <= to; ++i) {
            breaks.setPosition(i);
            if (breakableSpace(i) || breaks.isAtBoundary()) {
                return true;
            }
        }
        return false;
    };
    QTextOption option = doc->defaultTextOption();
    QTextLayout *layout = block.layout();
    const auto layOutLine = [&](QTextLine &line, QTextOption::WrapMode mode) {
        option.setWrapMode(mode);
        layout->setTextOption(option);
        line.setLineWidth(width);
    };
    // Kept, where Qt's layout would read the whole paragraph again for every blink of the
    // caret and every paint.
    layout->setCacheEnabled(true);
    layout->beginLayout();
    qreal height = 0;
    for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
        line.setLeadingIncluded(true);
        int wordStart = line.textStart();
        while (breakableSpace(wordStart)) {
            ++wordStart;
        }
        // A short first word Qt finds at once. A long one that ends within the line
        // broken anywhere fits, and Qt breaks that line by words; otherwise Qt breaks the
        // line anywhere.
        const int shortWord = std::min(wordStart + ShortWord, static_cast<int>(text.size()));
        bool byWords = wordEndsIn(wordStart, shortWord);
        if (!byWords) {
            layOutLine(line, QTextOption::WrapAnywhere);
            byWords = wordEndsIn(shortWord, line.textStart() + line.textLength());
        }
        if (byWords) {
            layOutLine(line, QTextOption::WrapAtWordBoundaryOrAnywhere);
        }
        line.setPosition(QPointF(margin, height));
        height += line.height();
        if (line.leading() < 0) {
            height += qCeil(line.leading());
        }
    }
    layout->endLayout();
    layout->setTextOption(doc->defaultTextOption());
    const int lines = doc->lineCount();
    block.setLineCount(block.isVisible() ? layout->lineCount() : 0);
    if (doc->lineCount() != lines) {
        emit documentSizeChanged(documentSize());
    }
}

} // namespace toolkit
