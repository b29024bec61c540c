// Runs a fuzz target without libFuzzer, for compilers that have none: on every file of a corpus,
// then on cells made from a small grammar of HTML with a fixed seed, until the time given (in
// seconds) is up. A failing input is written to standard error before the target aborts.
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
#include <vector>

#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

namespace {

std::string current;

void reportInput(int signal) {
    const char *what = "fuzz input that failed (bytes as C escapes): \"";
    (void)!write(2, what, std::strlen(what));
    for (const unsigned char c : current) {
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

void run(const std::string &input) {
    current = input;
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(input.data()), input.size());
}

// Pieces of cells: every tag the tokenizer or the tree builder treats specially, misnesting,
// references, comments, controls and foreign content.
// Words split at single spaces.
std::vector<std::string> words(const std::string &text) {
    std::vector<std::string> result;
    for (size_t start = 0; start <= text.size();) {
        const size_t end = std::min(text.find(' ', start), text.size());
        result.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return result;
}

const std::vector<std::string> Names = words(
    "a b i u nobr font p div span pre listing h1 h2 li ul dd dt table tbody tr td th caption col "
    "form button select option optgroup template script style xmp plaintext textarea title "
    "noscript iframe noembed noframes object details summary dialog search ruby rt rp br hr img "
    "image input isindex svg math mi mtext foreignObject desc annotation-xml rect text x");
// Pieces between the tags, split at "|".
std::vector<std::string> pieces() {
    const std::string all = "x| y |\t\n|&amp;|&lt;b&gt;|&notin|&#65;|&#x80000041;|&#0;|&#150;|"
                            "&#x1F600;|&#1;|<!--c-->|<!-->|<!--|-->|<!---->|<![CDATA[c]]>|<?p>|"
                            "</>|<!x>|<|</|\"|'|\x01|\x0b|\r\n|\xc2\x85|\xc2\xa0|=|"
                            "<!--<script>|</script|<script>| hidden|/>";
    std::vector<std::string> result;
    for (size_t start = 0; start <= all.size();) {
        const size_t end = std::min(all.find('|', start), all.size());
        result.push_back(all.substr(start, end - start));
        start = end + 1;
    }
    result.push_back(std::string(1, '\0'));
    return result;
}
const std::vector<std::string> Pieces = pieces();

std::string generated(std::mt19937 &random) {
    const auto pick = [&](const std::vector<std::string> &from) {
        return from[std::uniform_int_distribution<size_t>(0, from.size() - 1)(random)];
    };
    std::string cell;
    const int count = std::uniform_int_distribution<int>(1, 24)(random);
    for (int i = 0; i < count; ++i) {
        switch (std::uniform_int_distribution<int>(0, 5)(random)) {
        case 0:
        case 1:
            // Appended piece by piece: GCC 12 warns wrongly of overlapping copies otherwise.
            cell += '<';
            cell += pick(Names);
            cell += random() % 4 == 0 ? " hidden open color=x>" : ">";
            break;
        case 2:
            cell += "</";
            cell += pick(Names);
            cell += '>';
            break;
        default:
            cell += pick(Pieces);
        }
    }
    return cell;
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
        run(generated(random));
        ++runs;
    }
    std::cout << runs << " inputs\n";
    return 0;
}
