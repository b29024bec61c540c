#include "formmodel.h"

#include <array>

namespace model {

namespace {
constexpr std::array TabOrder{Control::ListBox, Control::NmntE,   Control::DnmnE,
                              Control::ChangeB, Control::DeleteB, Control::OldPageSC,
                              Control::MakeB,   Control::CopyB,   Control::Memo,
                              Control::PathE,   Control::VisSC,   Control::FontB};
}

bool FormModel::available(Control c) const {
    switch (c) {
    case Control::ChangeB:
        return changeEnabled;
    case Control::DeleteB:
        return deleteEnabled;
    case Control::FontB:
        return sampleVisible;
    default:
        return true;
    }
}

void FormModel::refresh() {
    changeEnabled = selected != -1;
    deleteEnabled = selected != -1 && selected != count() - 1;
    if (deleteEnabled) {
        numerator = entries[static_cast<size_t>(selected)].numerator;
        denominator = entries[static_cast<size_t>(selected)].denominator;
    } else {
        numerator.clear();
        denominator.clear();
    }
}

void FormModel::select(int row) {
    if (row != selected) {
        selected = row;
        refresh();
    }
}

void FormModel::commit() {
    if (selected == -1) {
        if (numerator.isEmpty() && denominator.isEmpty()) {
            return;
        }
        selected = count() - 1;
    }
    const int row = selected;
    std::vector<Row> before = entries;
    if (selected == count() - 1) {
        entries.push_back({numerator, denominator});
        // The focus mark goes with the selection, as screen readers read the marked row.
        selected = current = count() - 1;
        refresh();
    } else {
        entries[static_cast<size_t>(selected)] = {numerator, denominator};
    }
    focus = Control::NmntE;
    if (entries != before) {
        record(row, std::move(before));
    }
    follow();
}

void FormModel::typed() {
    if (selected == -1) {
        changeEnabled = !numerator.isEmpty() || !denominator.isEmpty();
    }
}

void FormModel::reopen() {
    selected = -1;
    numerator.clear();
    denominator.clear();
    changeEnabled = deleteEnabled = false;
    focus = Control::ListBox;
    history.clear();
    done = 0;
    follow();
}

void FormModel::record(int row, std::vector<Row> before) {
    history.resize(done);
    history.push_back({row, std::move(before), entries, selected});
    ++done;
}

void FormModel::undo(bool redo) {
    if (redo ? done == history.size() : done == 0) {
        return;
    }
    const Step &step = history[redo ? done++ : --done];
    entries = redo ? step.after : step.before;
    selected = current = redo ? step.selectedAfter : step.row;
    refresh();
    follow();
}

void FormModel::remove() {
    if (!deleteEnabled) {
        return;
    }
    std::vector<Row> before = entries;
    entries.erase(entries.begin() + selected);
    current = selected;
    refresh();
    // Delete lost its purpose under the user's hands: the focus goes back to the list.
    if (focus == Control::DeleteB && !deleteEnabled) {
        focus = Control::ListBox;
    }
    record(selected, std::move(before));
    follow();
}

QStringList FormModel::markup() const {
    QStringList lines{QStringLiteral("<!-- 分数ここから -->"),
                      QStringLiteral("<table border=\"0\" cellspacing=\"0\" cellpadding=\"0\">"),
                      QStringLiteral("<tr>")};
    for (const Row &row : entries) {
        lines << (row.denominator.isEmpty() ? QStringLiteral("<td rowspan=\"3\">")
                                            : QStringLiteral("<td align=\"center\">")) +
                     row.numerator + QStringLiteral("</td>");
    }
    lines << QStringLiteral("</tr>") << QStringLiteral("<tr>");
    for (const Row &row : entries) {
        if (!row.denominator.isEmpty()) {
            lines << QStringLiteral("<td><img src=\"") + path +
                         QStringLiteral("\" width=\"100%\" height=\"1\"></td>");
        }
    }
    lines << QStringLiteral("</tr>") << QStringLiteral("<tr>");
    for (const Row &row : entries) {
        if (!row.denominator.isEmpty()) {
            lines << QStringLiteral("<td align=\"center\">") + row.denominator +
                         QStringLiteral("</td>");
        }
    }
    lines << QStringLiteral("</tr>") << QStringLiteral("</table>")
          << QStringLiteral("<!-- 分数ここまで -->");
    return lines;
}

QString FormModel::memoAfterMake() const {
    QString text;
    for (const QString &line : markup()) {
        text += line + u'\n';
    }
    return text;
}

void FormModel::copy(const QString &paneText) {
    if (paneText.isEmpty()) {
        make();
    }
    clipboard = withCrLf(paneText.isEmpty() ? *memo : paneText);
}

void FormModel::copyEntry(const QString &text) {
    if (deleteEnabled) {
        clipboard = text;
        clipboardRow = {{entries[static_cast<size_t>(selected)]}};
    }
}

void FormModel::pasteRow() {
    if (!clipboardRow) {
        return;
    }
    const int at = selected == -1 ? count() - 1 : selected;
    const int n = static_cast<int>(clipboardRow->size());
    std::vector<Row> before = entries;
    entries.insert(entries.begin() + at, clipboardRow->begin(), clipboardRow->end());
    if (selected != -1) {
        selected += n;
    }
    if (current >= at) {
        current += n;
    }
    history.resize(done);
    // Redo comes back to the row the paste went before.
    history.push_back({at, std::move(before), entries, at + n});
    ++done;
    follow();
}

void FormModel::tab(bool backwards) {
    const int n = static_cast<int>(TabOrder.size());
    int at = 0;
    while (TabOrder[static_cast<size_t>(at)] != focus) {
        ++at;
    }
    for (int step = 1; step <= n; ++step) {
        const int next = ((backwards ? at - step : at + step) % n + n) % n;
        if (available(TabOrder[static_cast<size_t>(next)])) {
            focus = TabOrder[static_cast<size_t>(next)];
            return;
        }
    }
}

QString withCrLf(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    text.replace(QChar::ParagraphSeparator, u'\n');
    text.replace(QChar::LineSeparator, u'\n');
    text.replace(u'\n', QStringLiteral("\r\n"));
    return text;
}

} // namespace model
