#pragma once

#include <windows.h>

namespace stock::win32 {

// The number of the executable's icon group (stockkun.rc.in): a clipboard
// board with a clip and a stack of text lines, the newest one highlighted,
// drawn at build time by program_icon_ico.cpp.
constexpr WORD kProgramIconId = 1;

// The program's icon at size x size pixels, from the executable's icon
// group: Windows picks the closest of its images and scales only when none
// fits. The caller owns the handle (DestroyIcon); null if it cannot load.
HICON loadProgramIcon(int size);

// The icon for a window's title bar (small) or Alt+Tab (large) at the given
// DPI: the sizes the system's metrics ask for there.
HICON loadProgramIcon(bool small, UINT dpi);

}  // namespace stock::win32
