#pragma once

#include "core/ports/shell.h"

namespace stock::win32 {

// The shell's "open" of an address, owned by the desktop window.
class Win32Shell final : public Shell {
public:
    void open(const std::u16string& address) override;
};

// Programs on disk: the file test and CreateProcessW with the program named
// as the application, never found by splitting a command line.
class Win32Programs final : public Programs {
public:
    bool isFile(const std::u16string& path) override;
    void start(const std::u16string& path) override;
};

}  // namespace stock::win32
