#pragma once

#include "fractions/entry.h"

#include <cstddef>
#include <deque>
#include <vector>

namespace fractions {

// One change to the fraction list: the entries from `row` on before it and after it. A commit
// changes one entry; a commit of the entry row has no entry before it, a delete none after it; a
// paste has all its entries after it and none before.
struct ListChange {
    int row = 0;
    std::vector<Entry> before;
    std::vector<Entry> after;
};

// The changes to the list that can be taken back, and those taken back that can be made again.
// Each step keeps only the entries it changed, whose texts share their characters with the list's
// for as long as both hold them.
class ListHistory {
public:
    struct Limits {
        std::size_t steps = 1000;
        // The texts of all steps, counted as if none shared their characters, and each entry
        // kept as the characters its two strings take: 16 million are 32 MB, some sixteen
        // changes of an entry of a million characters, or pastes of 300,000 short entries.
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
