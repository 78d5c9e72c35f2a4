#pragma once

#include <cstddef>

#include "core/layout/layout.h"

namespace stock {

// The main window: its properties, its eighteen controls and its menu tree.
const FormSpec& frmClipboardLayout();

inline constexpr char16_t kShowNormal[] = u"show normal";
inline constexpr char16_t kShowTop[] = u"show top";
inline constexpr char16_t kTrayTip[] = u"すとっくん";
inline constexpr int kOuterHeightAfterLoad = 5790;      // twips
inline constexpr int kHistoryHorizontalExtent = 20000;  // pixels
// The filter field lies over the bottom edge of the history list, across
// its whole width; the count of matching rows takes its right end.
struct TwipsRect {
    int left, top, width, height;
};
inline constexpr TwipsRect kFilterFieldTwips{0, 1875, 7215, 315};
inline constexpr int kFilterCountWidthTwips = 1800;
inline constexpr std::size_t kCurrentClipDisplayUnits = std::size_t{64} * 1024;

}  // namespace stock
