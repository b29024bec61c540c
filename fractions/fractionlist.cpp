#include "fractions/fractionlist.h"

#include <algorithm>

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
    std::vector<Entry> before;
    if (!wasEntryRow) {
        before.push_back(this->entry(row));
    }
    view_.setCaption(row, entry.numerator);
    view_.setSubItem(row, entry.denominator);
    if (!wasEntryRow) {
        if (before.front() != entry) {
            history_.record({row, std::move(before), {entry}});
        }
        return Commit::ChangedEntry;
    }
    view_.appendRow(EntryRowCaption, QString());
    history_.record({row, {}, {entry}});
    return Commit::AddedEntry;
}

bool FractionList::remove(int row) {
    if (!isEntry(row)) {
        return false;
    }
    history_.record({row, {entry(row)}, {}});
    view_.removeRow(row);
    return true;
}

bool FractionList::insert(int row, std::vector<Entry> entries) {
    if (row < 0 || row >= count() || entries.empty()) {
        return false;
    }
    apply(row, {}, entries);
    history_.record({row, {}, std::move(entries)});
    return true;
}

bool FractionList::clear() {
    std::vector<Entry> all = entries();
    if (all.empty()) {
        return false;
    }
    apply(0, all, {});
    history_.record({0, std::move(all), {}});
    return true;
}

void FractionList::restore(std::vector<Entry> entries) {
    apply(0, this->entries(), entries);
}

std::vector<Entry> FractionList::entries() const {
    std::vector<Entry> all;
    all.reserve(static_cast<size_t>(entryCount()));
    for (int row = 0; row < entryCount(); ++row) {
        all.push_back(entry(row));
    }
    return all;
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
    // A commit of the entry row went on to the new entry row, a paste left the selection on the
    // row it went before.
    return change->before.empty() ? change->row + static_cast<int>(change->after.size())
                                  : change->row;
}

// Whatever the change, the entry row stays last: entries come and go above it.
void FractionList::apply(int row, const std::vector<Entry> &from, const std::vector<Entry> &to) {
    const size_t kept = std::min(from.size(), to.size());
    for (size_t i = 0; i < kept; ++i) {
        view_.setCaption(row + static_cast<int>(i), to[i].numerator);
        view_.setSubItem(row + static_cast<int>(i), to[i].denominator);
    }
    const int rest = row + static_cast<int>(kept);
    if (from.size() > kept) {
        view_.removeRows(rest, static_cast<int>(from.size() - kept));
    } else if (to.size() > kept) {
        std::vector<toolkit::ListRow> rows;
        rows.reserve(to.size() - kept);
        for (size_t i = kept; i < to.size(); ++i) {
            rows.emplace_back(to[i].numerator, to[i].denominator);
        }
        view_.insertRows(rest, rows);
    }
}

} // namespace fractions
