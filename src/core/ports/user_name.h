#pragma once

#include <cstdint>

namespace stock {

// The name of the user the program runs as.
class UserName {
public:
    virtual ~UserName() = default;
    // Writes the name as ANSI text with a terminating NUL into `buffer`.
    // `count` holds the buffer's length on entry and, on return, the number
    // of characters written with the NUL; when the buffer is too small,
    // nothing is written, `count` holds the length needed and the answer is
    // false.
    virtual bool getUserName(char* buffer, std::uint32_t& count) = 0;
};

}  // namespace stock
