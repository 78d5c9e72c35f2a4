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
inline constexpr std::size_t kCurrentClipDisplayUnits = std::size_t{64} * 1024;

}  // namespace stock
