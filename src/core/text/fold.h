// Text folded for finding: case ignored (Unicode simple case folding) and
// the width of ASCII and katakana ignored (full-width "ＡＢＣ" is "abc",
// half-width "ｶﾞ" is "ガ"). Folding never lengthens a text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace stock {

// One code point folded.
char32_t foldCodePoint(char32_t c);

// Folds a text piece by piece, so that a long one needs no folded copy.
class Folder {
public:
    explicit Folder(std::u16string_view text) : text_(text) {}
    // Appends the folded form of about `units` more code units of the text to
    // `out` (never half a pair, a kana never apart from its sound mark);
    // false once the whole text is folded. What `out` ends with must be what
    // this folder appended last (or nothing), so that a sound mark can join
    // the kana before it.
    bool next(std::size_t units, std::u16string& out);
    std::size_t position() const { return at_; }

private:
    std::u16string_view text_;
    std::size_t at_ = 0;
};

std::u16string foldText(std::u16string_view text);

// Whether `text` holds `query` (both folded), code unit for code unit.
bool containsFolded(std::u16string_view text, std::u16string_view query);

}  // namespace stock
