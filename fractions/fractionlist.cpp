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
    view_.setCaption(row, entry.numerator);
    view_.setSubItem(row, entry.denominator);
    if (!wasEntryRow) {
        return Commit::ChangedEntry;
    }
    view_.appendRow(EntryRowCaption, QString());
    return Commit::AddedEntry;
}

bool FractionList::remove(int row) {
    if (!isEntry(row)) {
        return false;
    }
    view_.removeRow(row);
    return true;
}

} // namespace fractions
