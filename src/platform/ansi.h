// Text handed to and taken from the system's narrow (ANSI) calls. The
// narrow encoding here is UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace stock {

std::string toAnsi(std::u16string_view text);
// Malformed bytes become U+FFFD; NUL bytes are kept.
std::u16string fromAnsi(std::string_view bytes);

}  // namespace stock
