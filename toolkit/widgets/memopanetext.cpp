#include "toolkit/widgets/memopanetext.h"

#include <algorithm>
#include <vector>

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

// One line inserted (from the old line x on) or removed (old line x), walking from (x, y).
struct Step {
    qsizetype x;
    qsizetype y;
    bool inserts;
};

// Myers' greedy search for the shortest edit script, on lines `before` [0, n) and `after`
// [0, m) as `same` compares them. The walk along equal lines has a budget, so that giving up
// costs no more than a few passes over the lines.
template <typename Same>
std::optional<std::vector<Step>> shortestSteps(qsizetype n, qsizetype m, int most,
                                               const Same &same) {
    std::vector<qsizetype> furthest(2 * static_cast<size_t>(most) + 3, 0);
    const auto at = [&furthest, most](qsizetype k) -> qsizetype & {
        return furthest[static_cast<size_t>(k + most + 1)];
    };
    std::vector<std::vector<qsizetype>> rounds;
    qsizetype budget = 8 * (n + m) + 64;
    for (int d = 0; d <= most; ++d) {
        rounds.push_back(furthest);
        for (int k = -d; k <= d; k += 2) {
            qsizetype x =
                (k == -d || (k != d && at(k - 1) < at(k + 1))) ? at(k + 1) : at(k - 1) + 1;
            qsizetype y = x - k;
            while (x < n && y < m && same(x, y)) {
                ++x;
                ++y;
                if (--budget < 0) {
                    return std::nullopt;
                }
            }
            at(k) = x;
            if (x < n || y < m) {
                continue;
            }
            // Back from the end to the start, one round a step.
            std::vector<Step> steps;
            for (int back = d; back > 0; --back) {
                const std::vector<qsizetype> &before = rounds[static_cast<size_t>(back)];
                const auto was = [&before, most](qsizetype kk) {
                    return before[static_cast<size_t>(kk + most + 1)];
                };
                const qsizetype kHere = x - y;
                const bool inserts =
                    kHere == -back || (kHere != back && was(kHere - 1) < was(kHere + 1));
                const qsizetype kBefore = inserts ? kHere + 1 : kHere - 1;
                const qsizetype xBefore = was(kBefore);
                const qsizetype yBefore = xBefore - kBefore;
                steps.push_back({xBefore, yBefore, inserts});
                x = xBefore;
                y = yBefore;
            }
            return std::vector<Step>(steps.rbegin(), steps.rend());
        }
    }
    return std::nullopt;
}

} // namespace

PaneText toPaneText(QString text, bool joinLines) {
    PaneText pane;
    QChar *chars = text.data();
    const qsizetype size = text.size();
    qsizetype written = 0;
    int paragraphLines = 0;
    qsizetype paragraphCharacters = 0;
    pane.lineStarts.append(0);
    // A line's break is settled once its length is known: a long line may not join the run.
    const auto endLine = [&] {
        const qsizetype start = pane.lineStarts.back();
        const qsizetype length = written - start;
        if (start > 0) {
            const bool join = joinLines && paragraphLines < MostLinesJoined &&
                              paragraphCharacters + length < MostCharactersJoined;
            chars[start - 1] = join ? QChar::LineSeparator : QChar::ParagraphSeparator;
            if (!join) {
                paragraphLines = 0;
                paragraphCharacters = 0;
            }
        }
        ++paragraphLines;
        paragraphCharacters += length + 1;
    };
    // In place: a CR LF becomes one break, so nothing is written ahead of what is read, and
    // nothing moves at all before the first CR LF.
    const auto ordinary = [](char16_t c) {
        if (c > u'\r' && c < QChar::ParagraphSeparator) {
            return true; // the most of them, at the cost of two comparisons
        }
        return c > u'\r' ? c != QChar::ParagraphSeparator && !isStandInFor(c)
                         : c != u'\n' && c != u'\r';
    };
    for (qsizetype i = 0; i < size;) {
        const qsizetype run = i;
        while (i < size && ordinary(chars[i].unicode())) {
            ++i;
        }
        if (written != run) {
            std::copy(chars + run, chars + i, chars + written);
        }
        written += i - run;
        if (i == size) {
            break;
        }
        const char16_t c = chars[i++].unicode();
        if (isStandInFor(c)) {
            pane.kept.append({written, c});
            chars[written++] = QChar(PaneText::StandIn);
            continue;
        }
        if (c == u'\r' && i < size && chars[i] == u'\n') {
            ++i;
        }
        endLine();
        chars[written++] = QChar::ParagraphSeparator;
        pane.lineStarts.append(written);
    }
    endLine();
    text.truncate(written);
    pane.lineStarts.append(written + 1);
    pane.text = std::move(text);
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

std::optional<QList<LineEdit>> lineEdits(const PaneText &before, const PaneText &after,
                                         int mostLines) {
    if (!before.kept.isEmpty() || !after.kept.isEmpty()) {
        return std::nullopt;
    }
    qsizetype first = 0;
    qsizetype oldEnd = before.lineCount();
    qsizetype newEnd = after.lineCount();
    while (first < oldEnd && first < newEnd && before.line(first) == after.line(first)) {
        ++first;
    }
    while (oldEnd > first && newEnd > first && before.line(oldEnd - 1) == after.line(newEnd - 1)) {
        --oldEnd;
        --newEnd;
    }
    const auto steps =
        shortestSteps(oldEnd - first, newEnd - first, mostLines, [&](qsizetype x, qsizetype y) {
            return before.line(first + x) == after.line(first + y);
        });
    if (!steps) {
        return std::nullopt;
    }
    // Steps that follow one another without equal lines between make one edit.
    QList<LineEdit> edits;
    for (const Step &step : *steps) {
        const qsizetype x = first + step.x;
        const qsizetype y = first + step.y;
        if (edits.isEmpty() || edits.back().oldEnd != x || edits.back().newEnd != y) {
            edits.append({x, x, y, y});
        }
        ++(step.inserts ? edits.back().newEnd : edits.back().oldEnd);
    }
    return edits;
}

} // namespace toolkit
