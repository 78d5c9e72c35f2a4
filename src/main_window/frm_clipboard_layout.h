#pragma once

#include "platform/layout.h"

namespace stock {

// The main window: its properties, its eighteen controls and its menu tree.
const FormSpec& frmClipboardLayout();

inline constexpr char16_t kShowNormal[] = u"show normal";
inline constexpr char16_t kShowTop[] = u"show top";
inline constexpr char16_t kTrayTip[] = u"すとっくん";
inline constexpr int kOuterHeightAfterLoad = 5790;      // twips
inline constexpr int kHistoryHorizontalExtent = 20000;  // pixels

}  // namespace stock
