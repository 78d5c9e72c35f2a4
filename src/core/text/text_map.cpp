#include "core/text/text_map.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "core/text/cluster_marks.h"

namespace stock {
namespace {

bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The marks of the Basic Multilingual Plane as one bit per code point, so
// that a look-up costs no search.
using BmpMarks = std::array<std::uint64_t, 0x10000 / 64>;

BmpMarks makeBmpMarks() {
    BmpMarks bits{};
    for (std::size_t i = 0; i < kClusterMarkCount && kClusterMarks[i].first < 0x10000; ++i)
        for (char32_t c = kClusterMarks[i].first; c <= kClusterMarks[i].last && c < 0x10000; ++c)
            bits[c / 64] |= std::uint64_t{1} << (c % 64);
    return bits;
}

}  // namespace

bool isBreakStart(char16_t c) { return c == u'\r' || c == u'\n' || c == u'\u2029'; }

std::size_t breakLength(std::u16string_view text, std::size_t i) {
    if (i >= text.size()) return 0;
    const char16_t c = text[i];
    if (c == u'\r') return (i + 1 < text.size() && text[i + 1] == u'\n') ? 2 : 1;
    return (c == u'\n' || c == u'\u2029') ? 1 : 0;
}

bool extendsCluster(char32_t c) {
    if (c < 0x300) return false;
    if (c < 0x10000) {
        static const BmpMarks bits = makeBmpMarks();
        return (bits[c / 64] >> (c % 64)) & 1;
    }
    const CodeRange* end = kClusterMarks + kClusterMarkCount;
    const CodeRange* r =
        std::upper_bound(kClusterMarks, end, c, [](char32_t v, const CodeRange& x) { return v < x.first; });
    return r != kClusterMarks && c <= (r - 1)->last;
}

ShownWalk::Step ShownWalk::peek() const {
    const char16_t c = text_[at_];
    if (isBreakStart(c)) return {breakLength(text_, at_), 1, true, false};
    Step s;
    char32_t code = c;
    s.units = 1;
    if (isHighSurrogate(c) && at_ + 1 < text_.size() && isLowSurrogate(text_[at_ + 1])) {
        code = 0x10000 + ((char32_t{c} - 0xD800) << 10) + (char32_t{text_[at_ + 1]} - 0xDC00);
        s.units = 2;
    }
    s.mark = extendsCluster(code);
    const bool shown = (!s.mark || marks_ < kShownMarks) && s.units <= room();
    s.shown = shown ? s.units : 0;
    return s;
}

void ShownWalk::take(const Step& s) {
    at_ += s.units;
    if (s.lineBreak) {
        longest_ = longestLine();
        line_ = 0;
        marks_ = 0;
        return;
    }
    marks_ = s.mark ? marks_ + 1 : 0;
    // A pair that no longer fits fills the line: nothing after it shows.
    line_ = s.units > room() ? kShownLineUnits : line_ + s.shown;
}

std::size_t ShownWalk::plainRun(std::size_t to) const {
    std::size_t j = at_;
    while (j < to && text_[j] < 0x300 && text_[j] != u'\r' && text_[j] != u'\n') ++j;
    return j - at_;
}

void ShownWalk::takePlain(std::size_t units, std::size_t shown) {
    at_ += units;
    line_ += shown;
    marks_ = 0;
}

void ShownWalk::append(std::size_t to, std::u16string& out, char16_t breakAs) {
    to = std::min(to, text_.size());
    while (at_ < to) {
        if (const std::size_t k = plainRun(to)) {
            const std::size_t shown = std::min(k, room());
            out.append(text_.substr(at_, shown));
            takePlain(k, shown);
            continue;
        }
        const Step s = peek();
        if (s.lineBreak)
            out.push_back(breakAs);
        else
            out.append(text_.substr(at_, s.shown));
        take(s);
    }
}

std::size_t ShownWalk::skip(std::size_t units) {
    std::size_t done = 0;
    while (at_ < text_.size()) {
        if (const std::size_t k = done < units ? plainRun(text_.size()) : 0) {
            const std::size_t shown = std::min(k, room());
            // Plain units are hidden only at the end of a full line, so the
            // whole run goes unless it shows more than is left to skip.
            const std::size_t taken = shown > units - done ? units - done : k;
            takePlain(taken, std::min(taken, shown));
            done += std::min(taken, shown);
            continue;
        }
        const Step s = peek();
        if (done == units && s.shown) break;  // hidden units after the last one belong to it
        if (s.shown > units - done) {         // half a surrogate pair
            at_ += units - done;
            return units;
        }
        take(s);
        done += s.shown;
    }
    return done;
}

std::size_t ShownWalk::count(std::size_t to) {
    to = std::min(to, text_.size());
    std::size_t shown = 0;
    while (at_ < to) {
        if (const std::size_t k = plainRun(to)) {
            const std::size_t n = std::min(k, room());
            takePlain(k, n);
            shown += n;
            continue;
        }
        const Step s = peek();
        if (!s.lineBreak && at_ + s.units > to) {  // half a surrogate pair
            shown += std::min(s.shown, to - at_);
            at_ = to;
            break;
        }
        take(s);
        shown += s.shown;
    }
    return shown;
}

bool ShownWalk::hides(std::size_t to) {
    to = std::min(to, text_.size());
    while (at_ < to) {
        if (const std::size_t k = plainRun(to)) {
            if (k > room()) return true;
            takePlain(k, k);
            continue;
        }
        const Step s = peek();
        if (!s.lineBreak && s.shown == 0) return true;
        take(s);
    }
    return false;
}

std::u16string toDisplay(std::u16string_view exact, char16_t breakAs) {
    return shownSpan(exact, 0, exact.size(), breakAs);
}

std::u16string shownSpan(std::u16string_view exact, std::size_t from, std::size_t to, char16_t breakAs) {
    std::u16string out;
    out.reserve(to > from ? to - from : 0);
    ShownWalk(exact, from).append(to, out, breakAs);
    return out;
}

std::size_t shownUnits(std::u16string_view exact, std::size_t from, std::size_t to) {
    return ShownWalk(exact, from).count(to);
}

std::u16string spliced(std::u16string_view text, std::size_t from, std::size_t to, std::u16string_view insert) {
    std::u16string out;
    out.reserve(text.size() - (to - from) + insert.size());
    out.append(text.substr(0, from)).append(insert).append(text.substr(to));
    return out;
}

std::size_t displayLength(std::u16string_view exact) { return shownUnits(exact, 0, exact.size()); }

std::size_t displayPosition(std::u16string_view exact, std::size_t offset) { return shownUnits(exact, 0, offset); }

std::size_t exactOffset(std::u16string_view exact, std::size_t displayPos) {
    ShownWalk w(exact);
    w.skip(displayPos);
    return w.at();
}

std::u16string_view shownPart(std::u16string_view exact, std::size_t limit) {
    if (limit == 0 || exact.size() <= limit) return exact;
    std::size_t cut = limit;
    if (exact[cut - 1] == u'\r' || isHighSurrogate(exact[cut - 1])) --cut;
    return exact.substr(0, cut);
}

namespace {

// The start of the line that holds offset i.
std::size_t lineStart(std::u16string_view text, std::size_t i) {
    while (i > 0 && !isBreakStart(text[i - 1])) --i;
    return i;
}

// The offset after the line break that ends the line holding offset i (the
// end of the text if none does).
std::size_t afterLine(std::u16string_view text, std::size_t i) {
    while (i < text.size() && !isBreakStart(text[i])) ++i;
    return i + breakLength(text, i);
}

bool linesHide(std::u16string_view text, std::size_t from, std::size_t to) {
    return ShownWalk(text, lineStart(text, from)).hides(afterLine(text, to));
}

bool afterBreak(std::u16string_view text, std::size_t i) { return i == 0 || isBreakStart(text[i - 1]); }

}  // namespace

Reshow reshowFor(std::u16string_view before, std::u16string_view after, std::size_t a, std::size_t b,
                 std::size_t shownA) {
    Reshow r;
    r.from = a;
    r.oldTo = b;
    r.newTo = after.size() - (before.size() - b);
    // A CR LF or a surrogate pair may join across either end of the edit.
    if (r.from > 0 && (before[r.from - 1] == u'\r' || isHighSurrogate(before[r.from - 1]))) --r.from;
    if (r.oldTo < before.size() && (before[r.oldTo] == u'\n' || isLowSurrogate(before[r.oldTo]))) ++r.oldTo, ++r.newTo;
    r.wholeLines = linesHide(before, r.from, r.oldTo) || linesHide(after, r.from, r.newTo);
    if (r.wholeLines) {
        // The text before `from` and after the ends is the same in both, so
        // both ends move on by the same units: to after the next line break.
        r.from = lineStart(before, r.from);
        if (!afterBreak(before, r.oldTo) || !afterBreak(after, r.newTo)) {
            const std::size_t more = afterLine(before, r.oldTo) - r.oldTo;
            r.oldTo += more;
            r.newTo += more;
        }
    }
    r.shownFrom = shownA - shownUnits(before, r.from, a);
    r.shownTo = r.shownFrom + shownUnits(before, r.from, r.oldTo);
    return r;
}

}  // namespace stock
