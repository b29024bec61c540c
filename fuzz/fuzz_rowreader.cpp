// The reading of a row from a clipboard: the input as its HTML flavour where it starts with a tag,
// as HTML copied from a page does, and as its text, so that every reader a paste tries sees it
// (the program's own table, tables and MathML through Gumbo, TeX, plain text). Any input reads
// without a crash, and what reads as a row holds entries.
#include "fuzzinput.h"
#include "markup/rowreader.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString text = fuzzinput::text(data, size);
    // As a paste reads it, which takes no more than 100,000 entries.
    const auto row = markup::readRow(text.startsWith(u'<') ? text : QString(), text, 100'000);
    if (row && row->empty()) {
        std::abort();
    }
    return 0;
}
