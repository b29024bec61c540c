// Cells made from a small grammar of HTML, for the replay of fuzz_showntext.
#include "grammar.h"

namespace {

// Pieces of cells: every tag the tokenizer or the tree builder treats specially, misnesting,
// references, comments, controls and foreign content.
const std::vector<std::string> Names = fuzzgrammar::split(
    "a b i u nobr font p div span pre listing h1 h2 li ul dd dt table tbody tr td th caption col "
    "form button select option optgroup template script style xmp plaintext textarea title "
    "noscript iframe noembed noframes object details summary dialog search ruby rt rp br hr img "
    "image input isindex svg math mi mtext foreignObject desc annotation-xml rect text x",
    ' ');
// Pieces between the tags, split at "|".
std::vector<std::string> pieces() {
    const std::string all = "x| y |\t\n|&amp;|&lt;b&gt;|&notin|&#65;|&#x80000041;|&#0;|&#150;|"
                            "&#x1F600;|&#1;|<!--c-->|<!-->|<!--|-->|<!---->|<![CDATA[c]]>|<?p>|"
                            "</>|<!x>|<|</|\"|'|\x01|\x0b|\r\n|\xc2\x85|\xc2\xa0|=|"
                            "<!--<script>|</script|<script>| hidden|/>";
    std::vector<std::string> result = fuzzgrammar::split(all, '|');
    result.push_back(std::string(1, '\0'));
    return result;
}
const std::vector<std::string> Pieces = pieces();

} // namespace

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
