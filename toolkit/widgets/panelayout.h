#pragma once

#include <QPlainTextDocumentLayout>

namespace toolkit {

// The layout of the markup pane's document. Qt's layout, wrapping at words or else anywhere, looks
// for the end of the word that starts each line before it finds that the word must be broken, and
// then lays the line out again breaking anywhere: a line of a million characters without a place
// to break takes a minute. A paragraph longer than 4,096 characters is laid out here instead, a
// line at a time, breaking anywhere first and by words only where a word ends within that line:
// the lines Qt would make, each laid out once or twice. Shorter paragraphs, all that the pane
// holds of ordinary text, Qt lays out itself.
class PaneLayout : public QPlainTextDocumentLayout {
public:
    // The pane gives its document the width of `viewport`.
    PaneLayout(QTextDocument *document, const QWidget *viewport)
        : QPlainTextDocumentLayout(document)
        , viewport_(viewport) {}

    QRectF blockBoundingRect(const QTextBlock &block) const override;

protected:
    void documentChanged(int from, int charsRemoved, int charsAdded) override;

private:
    bool isLong(const QTextBlock &block) const;
    // As QPlainTextDocumentLayout lays out a paragraph, line by line.
    void layOut(QTextBlock block);

    const QWidget *viewport_;
    // The paragraphs as QPlainTextDocumentLayout last counted them.
    int blocks_ = 1;
};

} // namespace toolkit
