#pragma once

#include <string>

namespace stock {

// The desktop's handler for addresses.
class Shell {
public:
    virtual ~Shell() = default;
    // Asks the desktop to open the address with its default handler (a web
    // address in the browser). Returns at once; a failure is not reported.
    virtual void open(const std::u16string& address) = 0;
};

// Programs on disk.
class Programs {
public:
    virtual ~Programs() = default;
    // True when an ordinary file exists at the path (not a folder).
    virtual bool isFile(const std::u16string& path) = 0;
    // Starts the program at the path, with no arguments, as a process of its
    // own, and returns at once without waiting for it. The path is the
    // program itself, never a command line to be split. Throws when the
    // program cannot be started (an empty path included).
    virtual void start(const std::u16string& path) = 0;
};

}  // namespace stock
