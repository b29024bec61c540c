#include "fractions/fractionlist.h"

namespace fractions {

FractionList::FractionList(toolkit::ListView &view)
    : view_(view) {
    if (view_.rowCount() == 0) {
        view_.appendRow(EntryRowCaption, QString());
    }
}

Entry FractionList::entry(int index) const {
    return {view_.caption(index), view_.subItem(index)};
}

FractionList::Commit FractionList::commit(int row, const Entry &entry) {
    if (row < 0 || row >= count()) {
        return Commit::Rejected;
    }
    const bool wasEntryRow = isEntryRow(row);
    std::optional<Entry> before;
    if (!wasEntryRow) {
        before = this->entry(row);
    }
    view_.setCaption(row, entry.numerator);
    view_.setSubItem(row, entry.denominator);
    if (!wasEntryRow) {
        if (*before != entry) {
            history_.record({row, std::move(before), entry});
        }
        return Commit::ChangedEntry;
    }
    view_.appendRow(EntryRowCaption, QString());
    history_.record({row, std::nullopt, entry});
    return Commit::AddedEntry;
}

bool FractionList::remove(int row) {
    if (!isEntry(row)) {
        return false;
    }
    history_.record({row, entry(row), std::nullopt});
    view_.removeRow(row);
    return true;
}

int FractionList::undo() {
    const ListChange *change = history_.undo();
    if (change == nullptr) {
        return -1;
    }
    lastStep_ = *change;
    apply(change->row, change->after, change->before);
    return change->row;
}

int FractionList::redo() {
    const ListChange *change = history_.redo();
    if (change == nullptr) {
        return -1;
    }
    lastStep_ = *change;
    apply(change->row, change->before, change->after);
    // A commit of the entry row went on to the new entry row.
    return change->before ? change->row : change->row + 1;
}

// Whatever the change, the entry row stays last: an entry comes and goes above it.
void FractionList::apply(int row, const std::optional<Entry> &from,
                         const std::optional<Entry> &to) {
    if (!to) {
        view_.removeRow(row);
    } else if (!from) {
        view_.insertRow(row, to->numerator, to->denominator);
    } else {
        view_.setCaption(row, to->numerator);
        view_.setSubItem(row, to->denominator);
    }
}

} // namespace fractions
