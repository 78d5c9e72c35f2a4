#include "platform/text_map.h"

#include <algorithm>

namespace stock {

bool isBreakStart(char16_t c) { return c == u'\r' || c == u'\n' || c == u'\u2029'; }

std::size_t breakLength(std::u16string_view text, std::size_t i) {
    if (i >= text.size()) return 0;
    const char16_t c = text[i];
    if (c == u'\r') return (i + 1 < text.size() && text[i + 1] == u'\n') ? 2 : 1;
    return (c == u'\n' || c == u'\u2029') ? 1 : 0;
}

std::u16string toDisplay(std::u16string_view exact, char16_t breakAs) {
    // Runs without another break are copied whole: they already show as they are.
    const bool lfShown = breakAs == u'\n';
    std::u16string out;
    out.reserve(exact.size());
    const char16_t* p = exact.data();
    const char16_t* const end = p + exact.size();
    while (p < end) {
        const char16_t* q = p;
        while (q < end && *q != u'\r' && *q != u'\u2029' && (lfShown || *q != u'\n')) ++q;
        out.append(p, q);
        if (q == end) break;
        out.push_back(breakAs);
        p = q + ((*q == u'\r' && q + 1 < end && q[1] == u'\n') ? 2 : 1);
    }
    return out;
}

std::u16string spliced(std::u16string_view text, std::size_t from, std::size_t to, std::u16string_view insert) {
    std::u16string out;
    out.reserve(text.size() - (to - from) + insert.size());
    out.append(text.substr(0, from)).append(insert).append(text.substr(to));
    return out;
}

std::size_t displayLength(std::u16string_view exact) {
    std::size_t n = exact.size();
    for (std::size_t i = 0; i + 1 < exact.size(); ++i)
        if (exact[i] == u'\r' && exact[i + 1] == u'\n') --n, ++i;
    return n;
}

std::size_t displayPosition(std::u16string_view exact, std::size_t offset) {
    if (offset > exact.size()) offset = exact.size();
    if (offset > 0 && offset < exact.size() && exact[offset - 1] == u'\r' && exact[offset] == u'\n') ++offset;
    return displayLength(exact.substr(0, offset));
}

std::size_t longestLine(std::u16string_view text) {
    std::size_t longest = 0, start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!isBreakStart(text[i])) continue;
        longest = std::max(longest, i - start);
        start = i + 1;
    }
    return std::max(longest, text.size() - start);
}

std::size_t exactOffset(std::u16string_view exact, std::size_t displayPos) {
    std::size_t i = 0;
    for (std::size_t pos = 0; pos < displayPos && i < exact.size(); ++pos) {
        const std::size_t n = breakLength(exact, i);
        i += n ? n : 1;
    }
    return i;
}

std::u16string_view shownPart(std::u16string_view exact, std::size_t limit) {
    if (limit == 0 || exact.size() <= limit) return exact;
    std::size_t cut = limit;
    if (exact[cut - 1] == u'\r' || (exact[cut - 1] >= 0xD800 && exact[cut - 1] <= 0xDBFF)) --cut;
    return exact.substr(0, cut);
}

}  // namespace stock
