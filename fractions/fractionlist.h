#pragma once

#include "fractions/entry.h"
#include "fractions/listhistory.h"
#include "toolkit/controls.h"

namespace fractions {

// The entries as they live in the list view: rows 0 to count - 2 are entries, and the last row is
// always the entry row, which stands for a new entry. The entry row is known by its position alone;
// an empty list view gets one.
class FractionList final : public EntrySource {
public:
    static inline const QString EntryRowCaption = QStringLiteral("（新規作成）");

    explicit FractionList(toolkit::ListView &view);

    // Rows, the entry row included.
    int count() const { return view_.rowCount(); }
    bool isEntryRow(int row) const { return row == count() - 1; }
    bool isEntry(int row) const { return row >= 0 && row < count() - 1; }

    int entryCount() const override { return count() - 1; }
    Entry entry(int index) const override;

    enum class Commit { Rejected, ChangedEntry, AddedEntry };
    // Writes `entry` into `row`. Committing the entry row turns it into an entry and appends a
    // new entry row. A row outside the list is left alone.
    Commit commit(int row, const Entry &entry);
    // Removes entry `row`; the entry row can never be removed.
    bool remove(int row);
    // Puts `entries` before row `row`, the entry row included, as one change. Nothing to insert,
    // or a row outside the list, leaves the list alone.
    bool insert(int row, std::vector<Entry> entries);
    // Removes every entry as one change; false when there is none.
    bool clear();
    // The entries a former run left, in place of the list's: where the list starts, not a change.
    void restore(std::vector<Entry> entries);
    std::vector<Entry> entries() const;

    // Commits, removals and insertions can be taken back and made again, the list each time exactly
    // as it was. Each returns the row to select, as the change itself selected it, or -1 when there
    // is nothing to take back or make again.
    bool canUndo() const { return history_.canUndo(); }
    bool canRedo() const { return history_.canRedo(); }
    int undo();
    int redo();
    // The change the last undo or redo took back or made again, as it was first made.
    const ListChange &lastStep() const { return lastStep_; }

private:
    void apply(int row, const std::vector<Entry> &from, const std::vector<Entry> &to);

    toolkit::ListView &view_;
    ListHistory history_;
    ListChange lastStep_;
};

} // namespace fractions
