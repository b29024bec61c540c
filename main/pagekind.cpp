// The page the user writes for, which decides the table Make writes: today's pages (those with
// <!DOCTYPE html>, blogs and their themes) take the table that holds there; pages without a
// doctype the table Make has always written.
#include "main/mainform.h"
#include "main/spokenwords.h"
#include "toolkit/announcer.h"
#include "ui_mainform.h"

TMainForm::MemoForm TMainForm::madeTable() const {
    return OldPageSC.isChecked() ? MemoForm::Table : MemoForm::Html5;
}

// A table the pane holds as Make wrote it is made again for the page now chosen.
void TMainForm::OldPageSCClick() {
    const MemoForm form = madeTable();
    if ((memoForm_ == MemoForm::Table || memoForm_ == MemoForm::Html5) && !memoEdited_) {
        writeMemo(form);
    }
    toolkit::announce(ui->OldPageSC, spoken::makes(spoken::tableForm(form == MemoForm::Table)));
}
