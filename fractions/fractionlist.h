#pragma once

#include "fractions/entry.h"
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

private:
    toolkit::ListView &view_;
};

} // namespace fractions
