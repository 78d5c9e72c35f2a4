#pragma once

#include <optional>

namespace stock::win32 {

// The program's options on Windows (--help, --version, --autostart,
// --keep-history), answered before any window or lock: on the standard
// streams when they lead somewhere (a console, a pipe, a file), otherwise
// in a message box. Returns the exit status, or std::nullopt to start.
std::optional<int> handleCommandLine();

}  // namespace stock::win32
