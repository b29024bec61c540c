// The list's cut, copy and paste of whole entries, and the bounds of what a paste reads.
#include "main/mainform.h"
#include "main/spokenwords.h"
#include "markup/rowreader.h"
#include "toolkit/accessibility/announcer.h"
#include "toolkit/accessibility/notice.h"
#include "ui_mainform.h"

// The list's clipboard items, which read and write whole entries; the edit boxes and the pane keep
// the same keys for their own text.
void TMainForm::CutMIClick() {
    CopyMIClick();
    DeleteBClick();
}

void TMainForm::CopyMIClick() {
    const int selected = ListBox.selectedIndex();
    if (!fractions_.isEntry(selected)) {
        return;
    }
    const markup::RowClipboard row = markup::rowClipboard({fractions_.entry(selected)});
    clipboard_.setHtmlAndText(row.html, row.text);
}

// The row on the clipboard goes before the selected row, or at the end when none is, as one
// change. The selection stays on its row, so the editor keeps whatever is typed in it, and the
// new entries are scrolled into sight.
void TMainForm::PasteMIClick() {
    // A clipboard so large that reading it could hold the window up for more than a second is
    // refused before it is even decoded: a row of 10,000 entries is some 0.6 MB of markup, read
    // in well under 0.1 s. So is a row that the list and its history would take long to hold.
    constexpr qsizetype MostBytes = 4 * 1024 * 1024;
    constexpr size_t MostEntries = 100'000;
    const std::optional<toolkit::Clipboard::Texts> held = clipboard_.texts(MostBytes);
    if (!held) {
        tellListTrouble(spoken::ClipboardTooLarge);
        return;
    }
    std::optional<std::vector<fractions::Entry>> row =
        markup::readRow(held->html, held->text, MostEntries);
    if (!row || row->size() > MostEntries) {
        tellListTrouble(row ? spoken::RowTooLong : spoken::NoRowOnClipboard);
        return;
    }
    const int selected = ListBox.selectedIndex();
    const int at = selected < 0 ? fractions_.count() - 1 : selected;
    const int pasted = static_cast<int>(row->size());
    {
        const QSignalBlocker whole(&ListBox);
        fractions_.insert(at, std::move(*row));
    }
    ListBox.showRows(at, at + pasted);
    ListBoxChange();
    enableHistoryItems();
    makeMemoAgain();
    toolkit::announce(ui->ListBox, spoken::pasted(static_cast<std::size_t>(pasted)));
}

// Words about a paste that did not happen, by the list's selected row: they stay a while longer
// than those about what was done, and screen readers say them at once.
void TMainForm::tellListTrouble(const QString &words) {
    toolkit::tell(ui->ListBox, words, {ui->ListBox->noticePoint(), 6000, true});
}
