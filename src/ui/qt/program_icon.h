#pragma once

#include <QIcon>

namespace stock::qt {

// The program's icon, drawn in code at every size a desktop asks for
// (16 to 256 pixels), so it stays sharp on high-DPI screens and trays.
QIcon programIcon();

}  // namespace stock::qt
