#!/usr/bin/env python3
"""Writes the folding table that the history filter matches with, from the
Unicode Character Database files (Debian's unicode-data package):
  gen_fold_table.py UnicodeData.txt CaseFolding.txt OUT.cpp
A code point folds to its wide or narrow decomposition when it has one
(full-width ASCII, half-width katakana), then to its simple case folding
(CaseFolding.txt, statuses C and S). A kana followed by the combining sound
marks U+3099 or U+309A folds together with it into the voiced kana."""
import sys

def hexes(field):
    return [int(h, 16) for h in field.split()]

def read(unicode_data, case_folding):
    width, compose = {}, {}
    for line in open(unicode_data, encoding="utf-8"):
        f = line.split(";")
        cp, decomposition = int(f[0], 16), f[5]
        if decomposition.startswith(("<wide>", "<narrow>")):
            target = hexes(decomposition.split(">", 1)[1])
            if len(target) == 1:
                width[cp] = target[0]
        elif decomposition and not decomposition.startswith("<"):
            pair = hexes(decomposition)
            if len(pair) == 2 and pair[1] in (0x3099, 0x309A) and 0x3040 <= cp <= 0x30FF:
                compose[(pair[0], pair[1])] = cp
    case = {}
    for line in open(case_folding, encoding="utf-8"):
        line = line.split("#", 1)[0].strip()
        if not line:
            continue
        code, status, mapping = [p.strip() for p in line.split(";")[:3]]
        if status in ("C", "S"):
            case[int(code, 16)] = int(mapping, 16)
    return width, case, compose

def main():
    width, case, compose = read(sys.argv[1], sys.argv[2])
    fold = {}
    for cp in set(width) | set(case):
        w = width.get(cp, cp)
        t = case.get(w, w)
        if t != cp:
            fold[cp] = t
    for cp, t in fold.items():
        if (cp < 0x10000) != (t < 0x10000):
            sys.exit(f"U+{cp:04X} folds across the BMP's edge")
    bmp = {cp: t for cp, t in fold.items() if cp < 0x10000}
    blocks = sorted({cp >> 8 for cp in bmp})
    out = ["// Generated at build time by tools/gen_fold_table.py from the Unicode data; do not edit.",
           '#include "core/text/fold_table.h"', "", "namespace stock::fold_table {", ""]
    index = [0] * 256
    for i, b in enumerate(blocks):
        index[b] = i + 1
    out.append("const unsigned char kBlockOf[256] = {")
    out += ["    " + ", ".join(str(v) for v in index[i:i + 32]) + "," for i in range(0, 256, 32)]
    out.append("};")
    out.append(f"const char16_t kBlocks[{len(blocks) + 1}][256] = {{")
    for b in [None] + blocks:
        values = [0] * 256 if b is None else [bmp.get((b << 8) | i, (b << 8) | i) for i in range(256)]
        out.append("    {")
        out += ["        " + ", ".join(f"0x{v:04X}" for v in values[i:i + 16]) + "," for i in range(0, 256, 16)]
        out.append("    },")
    out.append("};")
    astral = sorted((cp, t) for cp, t in fold.items() if cp >= 0x10000)
    out.append(f"const std::size_t kAstralCount = {len(astral)};")
    out.append("const CodePair kAstral[] = {")
    out += [f"    {{0x{cp:X}, 0x{t:X}}}," for cp, t in astral]
    out.append("};")
    pairs = sorted(compose.items())
    out.append(f"const std::size_t kComposeCount = {len(pairs)};")
    out.append("const Composition kCompose[] = {")
    out += [f"    {{0x{a:04X}, 0x{m:04X}, 0x{c:04X}}}," for (a, m), c in pairs]
    out.append("};")
    out += ["", "}  // namespace stock::fold_table", ""]
    with open(sys.argv[3], "w", encoding="utf-8") as f:
        f.write("\n".join(out))

main()
