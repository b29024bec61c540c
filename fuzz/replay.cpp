// Runs a fuzz target without libFuzzer, for compilers that have none: on every file of a corpus,
// then on inputs made from the target's small grammar with a fixed seed, until the time given (in
// seconds) is up. An input fails that ends the process or takes more processor time than its
// size allows; its start is written to standard error before the target aborts.
#include "grammar.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include <fcntl.h>
#include <time.h>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

namespace {

std::string current;

// The input that failed is written whole to this file in the working directory, and its start
// to standard error.
constexpr const char *FailedInput = "failed-fuzz-input";

void reportInput(int signal) {
    const int file = open(FailedInput, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    (void)!write(file, current.data(), current.size());
    close(file);
    const char *what = "fuzz input that failed (written whole to failed-fuzz-input), its first "
                       "256 bytes as C escapes: \"";
    (void)!write(2, what, std::strlen(what));
    for (const unsigned char c : std::string_view(current).substr(0, 256)) {
        char escaped[5];
        const bool plain = c >= 0x20 && c < 0x7F && c != '"' && c != '\\';
        const int n = plain ? 1 : 4;
        if (plain) {
            escaped[0] = static_cast<char>(c);
        } else {
            const char *hex = "0123456789abcdef";
            escaped[0] = '\\';
            escaped[1] = 'x';
            escaped[2] = hex[c >> 4];
            escaped[3] = hex[c & 15];
        }
        (void)!write(2, escaped, static_cast<size_t>(n));
    }
    (void)!write(2, "\"\n", 2);
    std::signal(signal, SIG_DFL);
}

// Processor time an input may take: 0.1 s and a second for every 2 MB, what a paste may keep the
// window waiting; forty times that under the sanitizers, which slow the reading of deep markup
// that much (a cell of 287 KB of misnested end tags: 0.09 s in the Release build, 2.7 s with
// AddressSanitizer and UndefinedBehaviorSanitizer), so that the bound there catches only what
// grows faster than the input.
#if defined(__SANITIZE_ADDRESS__)
constexpr double Slowdown = 40;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr double Slowdown = 40;
#else
constexpr double Slowdown = 1;
#endif
#else
constexpr double Slowdown = 1;
#endif
double allowedSeconds(size_t size) {
    return Slowdown * (0.1 + static_cast<double>(size) / (2 << 20));
}

double processorSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

void run(const std::string &input) {
    current = input;
    const double start = processorSeconds();
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(input.data()), input.size());
    const double took = processorSeconds() - start;
    if (took > allowedSeconds(input.size())) {
        std::cerr << "an input of " << input.size() << " bytes took " << took
                  << " s of processor time\n";
        std::abort();
    }
}

// A made input with a part of it repeated up to about 2 MB, where readers that take time with
// the square of the length, or recurse as deep as it is, show it.
std::string repeated(const std::string &input, std::mt19937 &random) {
    std::uniform_int_distribution<size_t> at(0, input.size());
    size_t from = at(random);
    size_t to = at(random);
    if (from > to) {
        std::swap(from, to);
    }
    if (from == to) {
        return input;
    }
    const size_t times = std::uniform_int_distribution<size_t>(1, (2 << 20) / (to - from))(random);
    std::string result = input.substr(0, from);
    result.reserve(input.size() + times * (to - from));
    for (size_t i = 0; i < times; ++i) {
        result.append(input, from, to - from);
    }
    return result + input.substr(to);
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 3) {
        std::cerr << "usage: " << argv[0] << " CORPUS-DIRECTORY SECONDS\n";
        return 2;
    }
    std::signal(SIGABRT, reportInput);
    std::signal(SIGSEGV, reportInput);
    size_t runs = 0;
    for (const auto &entry : std::filesystem::directory_iterator(argv[1])) {
        std::ifstream file(entry.path(), std::ios::binary);
        run(std::string(std::istreambuf_iterator<char>(file), {}));
        ++runs;
    }
    std::mt19937 random(34);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(std::atoi(argv[2]));
    while (std::chrono::steady_clock::now() < end) {
        const std::string made = generated(random);
        run(random() % 8 == 0 ? repeated(made, random) : made);
        ++runs;
    }
    std::cout << runs << " inputs\n";
    return 0;
}
