#include "fractions/listhistory.h"

namespace fractions {

namespace {

// What an entry's two strings take even when empty, in characters of two bytes: a paste of many
// short entries costs as much as its texts would.
constexpr qsizetype EntryCharacters = sizeof(Entry) / 2;

qsizetype charactersOf(const ListChange &change) {
    qsizetype n = 0;
    for (const std::vector<Entry> *entries : {&change.before, &change.after}) {
        for (const Entry &entry : *entries) {
            n += EntryCharacters + entry.numerator.size() + entry.denominator.size();
        }
    }
    return n;
}

} // namespace

void ListHistory::record(ListChange change) {
    while (steps_.size() > done_) {
        characters_ -= charactersOf(steps_.back());
        steps_.pop_back();
    }
    characters_ += charactersOf(change);
    steps_.push_back(std::move(change));
    while (steps_.size() > limits_.steps ||
           (characters_ > limits_.characters && steps_.size() > 1)) {
        characters_ -= charactersOf(steps_.front());
        steps_.pop_front();
    }
    done_ = steps_.size();
}

const ListChange *ListHistory::undo() {
    return canUndo() ? &steps_[--done_] : nullptr;
}

const ListChange *ListHistory::redo() {
    return canRedo() ? &steps_[done_++] : nullptr;
}

} // namespace fractions
