// Character sets that COMPOUND_TEXT designates, as tables to Unicode
// (0: no character at that code). Generated: scripts/gen-charset-tables.py.
#pragma once

namespace stock::x11::charsets {

// Right halves of ISO 8859-N, codes A0..FF.
extern const char16_t kIso8859_2[96], kIso8859_3[96], kIso8859_4[96], kIso8859_5[96], kIso8859_6[96], kIso8859_7[96],
    kIso8859_8[96], kIso8859_9[96], kIso8859_10[96], kIso8859_13[96], kIso8859_14[96], kIso8859_15[96], kIso8859_16[96];

// JIS X 0208, row-major: (row - 0x21) * 94 + (cell - 0x21).
extern const char16_t kJisX0208[94 * 94];

}  // namespace stock::x11::charsets
