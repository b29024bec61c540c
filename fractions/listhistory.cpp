#include "fractions/listhistory.h"

namespace fractions {

namespace {

qsizetype charactersOf(const ListChange &change) {
    qsizetype n = 0;
    for (const std::optional<Entry> *entry : {&change.before, &change.after}) {
        if (entry->has_value()) {
            n += (*entry)->numerator.size() + (*entry)->denominator.size();
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
