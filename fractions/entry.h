#pragma once

#include <QString>

#include <vector>

namespace fractions {

// One row of the fraction list. Both texts are free text, kept exactly as typed.
struct Entry {
    QString numerator;
    QString denominator;

    // An entry without a denominator is a plain entry: its numerator is the whole item.
    bool isFraction() const { return !denominator.isEmpty(); }

    friend bool operator==(const Entry &, const Entry &) = default;
};

// Read access to the entries by index, so that readers can stop early without copying the list.
class EntrySource {
public:
    virtual ~EntrySource() = default;
    virtual int entryCount() const = 0;
    virtual Entry entry(int index) const = 0;
};

class EntryVector final : public EntrySource {
public:
    EntryVector() = default;
    explicit EntryVector(std::vector<Entry> entries)
        : entries_(std::move(entries)) {}
    int entryCount() const override { return static_cast<int>(entries_.size()); }
    Entry entry(int index) const override { return entries_[static_cast<size_t>(index)]; }

private:
    std::vector<Entry> entries_;
};

} // namespace fractions
