// The page the user writes for, which decides the table Make writes: today's pages (those with
// <!DOCTYPE html>, blogs and their themes) take the table that holds there; pages without a
// doctype the table Make has always written.
#include "main/mainform.h"
#include "main/spokenwords.h"
#include "markup/showntext.h"
#include "toolkit/accessibility/announcer.h"
#include "toolkit/accessibility/notice.h"
#include "ui_mainform.h"

TMainForm::MemoForm TMainForm::madeTable() const {
    return OldPageSC.isChecked() ? MemoForm::Table : MemoForm::Html5;
}

// Where a page would show a text of the entry other than as typed, the user hears of it at once,
// before the row is copied; the cells stay as typed.
void TMainForm::tellShownOtherwise(const fractions::Entry &entry) {
    for (const QString &cell : {entry.numerator, entry.denominator}) {
        if (const auto shown = markup::shownOtherwise(cell)) {
            toolkit::tell(ui->NmntE, spoken::shownOtherwise(cell, *shown));
            return;
        }
    }
}

// At the first Make the user learns, at the check box and with what was made, which page the
// table is for and how to choose the other; the choice is kept from then on. Whether it told.
bool TMainForm::tellPageOnce(const QString &made) {
    if (pageTold_) {
        return false;
    }
    pageTold_ = true;
    toolkit::tell(ui->OldPageSC, spoken::pageChoice(made));
    workChanged();
    return true;
}

// A table the pane holds as Make wrote it is made again for the page now chosen.
void TMainForm::OldPageSCClick() {
    const MemoForm form = madeTable();
    if ((memoForm_ == MemoForm::Table || memoForm_ == MemoForm::Html5) && !memoEdited_) {
        writeMemo(form);
    }
    pageTold_ = true;
    toolkit::announce(ui->OldPageSC, spoken::makes(spoken::tableForm(form == MemoForm::Table)));
}
