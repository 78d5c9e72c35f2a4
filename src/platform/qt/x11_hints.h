#pragma once

class QWidget;

namespace stock::qt {

// Keeps a top-level window out of the taskbar and the pager. Call after each
// show: a window manager drops the state whenever the window is withdrawn.
void setSkipTaskbar(QWidget* window);

}  // namespace stock::qt
