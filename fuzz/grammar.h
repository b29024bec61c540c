#pragma once

// Inputs made from a small grammar, for the replay of a fuzz target without libFuzzer.

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace fuzzgrammar {

inline std::vector<std::string> split(const std::string &text, char at) {
    std::vector<std::string> result;
    for (size_t start = 0; start <= text.size();) {
        const size_t end = std::min(text.find(at, start), text.size());
        result.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return result;
}

} // namespace fuzzgrammar

// An input of the target's kind, made by the grammar of the target's replay.
std::string generated(std::mt19937 &random);
