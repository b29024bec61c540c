#pragma once

#include "fractions/entry.h"

#include <cstddef>
#include <deque>
#include <optional>

namespace fractions {

// One change to the fraction list: the entry of one row before and after it. A commit of the
// entry row has no entry before it, a delete none after it.
struct ListChange {
    int row = 0;
    std::optional<Entry> before;
    std::optional<Entry> after;
};

// The changes to the list that can be taken back, and those taken back that can be made again.
// Each step keeps only the entry it changed, whose texts share their characters with the list's
// for as long as both hold them.
class ListHistory {
public:
    struct Limits {
        std::size_t steps = 1000;
        // The texts of all steps, counted as if none shared their characters: 16 million are
        // 32 MB, some sixteen changes of an entry of a million characters.
        qsizetype characters = 16'000'000;
    };

    ListHistory() = default;
    explicit ListHistory(Limits limits)
        : limits_(limits) {}

    // A new change: what was taken back can no longer be made again. The oldest steps go once
    // the history is over its limits; the newest stays, however long its texts.
    void record(ListChange change);

    bool canUndo() const { return done_ > 0; }
    bool canRedo() const { return done_ < steps_.size(); }
    // The change to take back, or to make again; nullptr when there is none.
    const ListChange *undo();
    const ListChange *redo();

    std::size_t size() const { return steps_.size(); }

private:
    Limits limits_;
    std::deque<ListChange> steps_;
    // Steps made and not taken back: steps_[0, done_).
    std::size_t done_ = 0;
    qsizetype characters_ = 0;
};

} // namespace fractions
