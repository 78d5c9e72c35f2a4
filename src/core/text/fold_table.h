// The folding table, generated at build time from the Unicode data.
#pragma once

#include <cstddef>

namespace stock::fold_table {

struct CodePair {
    char32_t from, to;
};
struct Composition {
    char16_t base, mark, composed;
};

// A BMP code unit c folds to kBlocks[kBlockOf[c >> 8]][c & 0xFF]; block 0
// stands for every block that folds nothing (it holds zeros: c itself).
extern const unsigned char kBlockOf[256];
extern const char16_t kBlocks[][256];
// Code points beyond the BMP that fold, sorted.
extern const std::size_t kAstralCount;
extern const CodePair kAstral[];
// Kana and sound mark pairs that fold into one voiced kana, sorted.
extern const std::size_t kComposeCount;
extern const Composition kCompose[];

}  // namespace stock::fold_table
