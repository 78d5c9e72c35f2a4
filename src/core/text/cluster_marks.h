// The code points that continue the grapheme cluster before them: combining
// marks (general categories Mn, Mc, Me), ZWNJ and ZWJ, the halfwidth sound
// marks, the tags and the emoji modifiers. Generated:
// scripts/gen-cluster-marks.py.
#pragma once

#include <cstddef>

namespace stock {

struct CodeRange {
    char32_t first, last;
};

// Sorted, disjoint and never adjacent.
extern const std::size_t kClusterMarkCount;
extern const CodeRange kClusterMarks[];

}  // namespace stock
