#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace toolkit {

// A text as the markup pane holds it in Qt's text document.
//
// The document spends most of its filling time on paragraphs, about a microsecond and a half
// each, so runs of short lines share one paragraph, joined by line separators (U+2028). And the
// document takes U+FDD0 and U+FDD1 for frame marks, which it turns into paragraph breaks, so the
// pane holds them as a stand-in character that remembers which one it stands for.
struct PaneText {
    static constexpr char16_t StandIn = 0xFDD2;

    // A stand-in in `text` and the character it stands for: U+FDD0, U+FDD1, or a U+FDD2 of the
    // text's own.
    struct Kept {
        qsizetype position;
        char16_t character;
    };

    QString text;
    QList<Kept> kept;
    // Where each line starts in `text`; last, one past the end, as if a line break followed.
    QList<qsizetype> lineStarts;

    qsizetype lineCount() const { return lineStarts.size() - 1; }
    QStringView line(qsizetype i) const {
        return QStringView(text).mid(lineStarts[i], lineStarts[i + 1] - 1 - lineStarts[i]);
    }
};

// `text` as the pane holds it. Every line break (CR LF, CR, LF, U+2029) becomes a paragraph
// break (U+2029); with `joinLines`, one between lines of the same run of short lines becomes a
// line separator instead. The result has one character for every position of the document.
PaneText toPaneText(QString text, bool joinLines);

// Whether `text` holds a character that the pane keeps as a stand-in.
bool needsStandIns(QStringView text);

// Old lines [oldFirst, oldEnd) give way to new lines [newFirst, newEnd).
struct LineEdit {
    qsizetype oldFirst;
    qsizetype oldEnd;
    qsizetype newFirst;
    qsizetype newEnd;
};

// The edits, fewest lines first, that turn the lines of `before` into those of `after`, compared
// by their text whatever breaks them. None when that takes more than `mostLines` lines inserted
// or removed, or when a stand-in could look alike in both and stand for different characters.
std::optional<QList<LineEdit>> lineEdits(const PaneText &before, const PaneText &after,
                                         int mostLines);

} // namespace toolkit
