#include "toolkit/panetext.h"

namespace toolkit {

namespace {

// A paragraph is laid out whole whenever one of its lines changes or comes into view: a few
// dozen short lines cost a fraction of a millisecond. A longer line stands in a paragraph of its
// own, so that typing elsewhere never lays it out again.
constexpr int MostLinesJoined = 64;
constexpr qsizetype MostCharactersJoined = 4096;

bool isStandInFor(char16_t c) {
    return c == 0xFDD0 || c == 0xFDD1 || c == PaneText::StandIn;
}

} // namespace

PaneText toPaneText(QStringView text, bool joinLines) {
    PaneText pane;
    pane.text.resize(text.size());
    QChar *out = pane.text.data();
    qsizetype written = 0;
    qsizetype breakBefore = -1; // where the break before the current line was written
    qsizetype lineStart = 0;
    int paragraphLines = 0;
    qsizetype paragraphCharacters = 0;
    // A line's break is settled once its length is known: a long line may not join the run.
    const auto endLine = [&] {
        const qsizetype length = written - lineStart;
        if (breakBefore >= 0) {
            const bool join = joinLines && paragraphLines < MostLinesJoined &&
                              paragraphCharacters + length < MostCharactersJoined;
            out[breakBefore] = join ? QChar::LineSeparator : QChar::ParagraphSeparator;
            if (!join) {
                paragraphLines = 0;
                paragraphCharacters = 0;
            }
        }
        ++paragraphLines;
        paragraphCharacters += length + 1;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator) {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
                ++i;
            }
            endLine();
            breakBefore = written;
            out[written++] = QChar::ParagraphSeparator;
            lineStart = written;
        } else if (isStandInFor(c)) {
            pane.kept.append({written, c});
            out[written++] = QChar(PaneText::StandIn);
        } else {
            out[written++] = text[i];
        }
    }
    endLine();
    pane.text.truncate(written);
    return pane;
}

bool needsStandIns(QStringView text) {
    for (const QChar c : text) {
        if (isStandInFor(c.unicode())) {
            return true;
        }
    }
    return false;
}

} // namespace toolkit
