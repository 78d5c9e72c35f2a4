#pragma once

#include <windows.h>

namespace stock::win32 {

// The program's icon, drawn with GDI at the given size in pixels: a
// clipboard board with a clip and a stack of text lines, the newest one
// highlighted.
HICON drawProgramIcon(int size);

}  // namespace stock::win32
