#include "core/text/fold.h"

#include <algorithm>

#include "core/text/fold_table.h"

namespace stock {
namespace {

bool isHigh(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLow(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

char16_t foldUnit(char16_t c) {
    const char16_t to = fold_table::kBlocks[fold_table::kBlockOf[c >> 8]][c & 0xFF];
    return to ? to : c;
}

// The voiced kana of a kana and a sound mark, 0 when they make none.
char16_t composed(char16_t base, char16_t mark) {
    using fold_table::Composition;
    const Composition* end = fold_table::kCompose + fold_table::kComposeCount;
    const Composition* it = std::lower_bound(fold_table::kCompose, end, Composition{base, mark, 0},
                                             [](const Composition& a, const Composition& b) {
                                                 return a.base != b.base ? a.base < b.base : a.mark < b.mark;
                                             });
    return it != end && it->base == base && it->mark == mark ? it->composed : 0;
}

void appendCodePoint(char32_t c, std::u16string& out) {
    if (c < 0x10000) {
        out.push_back(static_cast<char16_t>(c));
    } else {
        out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    }
}

bool isSoundMark(char16_t folded) { return folded == 0x3099 || folded == 0x309A; }

}  // namespace

char32_t foldCodePoint(char32_t c) {
    if (c < 0x10000) return foldUnit(static_cast<char16_t>(c));
    using fold_table::CodePair;
    const CodePair* end = fold_table::kAstral + fold_table::kAstralCount;
    const CodePair* it =
        std::lower_bound(fold_table::kAstral, end, c, [](const CodePair& p, char32_t v) { return p.from < v; });
    return it != end && it->from == c ? it->to : c;
}

bool Folder::next(std::size_t units, std::u16string& out) {
    const std::size_t stop = std::min(text_.size(), at_ + std::max<std::size_t>(units, 1));
    while (at_ < stop || (at_ < text_.size() && (isLow(text_[at_]) || isSoundMark(foldUnit(text_[at_]))))) {
        const char16_t c = text_[at_];
        if (isHigh(c) && at_ + 1 < text_.size() && isLow(text_[at_ + 1])) {
            const char32_t code = 0x10000 + ((char32_t{c} - 0xD800) << 10) + (char32_t{text_[at_ + 1]} - 0xDC00);
            appendCodePoint(foldCodePoint(code), out);
            at_ += 2;
            continue;
        }
        const char16_t f = foldUnit(c);
        const char16_t voiced = isSoundMark(f) && !out.empty() ? composed(out.back(), f) : 0;
        if (voiced) {
            out.back() = voiced;
        } else {
            out.push_back(f);
        }
        ++at_;
    }
    return at_ < text_.size();
}

std::u16string foldText(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    Folder(text).next(text.size(), out);
    return out;
}

bool containsFolded(std::u16string_view text, std::u16string_view query) {
    const std::size_t m = query.size();
    if (m == 0) return true;
    if (m > text.size()) return false;
    const char16_t* p = text.data();
    const char16_t first = query[0], second = m > 1 ? query[1] : query[0];
    const std::size_t step = m > 1 ? 1 : 0, last = text.size() - m;
    const auto at = [&](std::size_t i) { return p[i] == first && text.substr(i + 1, m - 1) == query.substr(1); };
    // Blocks of candidates are screened by their first two units at once, in
    // a loop without branches that the compiler can vectorise.
    constexpr std::size_t kBlock = 32;
    std::size_t i = 0;
    for (; i + kBlock <= last + 1; i += kBlock) {
        unsigned hit = 0;
        for (std::size_t j = 0; j < kBlock; ++j)
            hit |= static_cast<unsigned>((p[i + j] == first) & (p[i + j + step] == second));
        if (!hit) continue;
        for (std::size_t j = 0; j < kBlock; ++j)
            if (at(i + j)) return true;
    }
    for (; i <= last; ++i)
        if (at(i)) return true;
    return false;
}

}  // namespace stock
