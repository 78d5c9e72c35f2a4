// Text handed to and taken from the system's narrow (ANSI) calls. The
// narrow encoding here is UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace stock {

// A surrogate without its other half becomes U+FFFD.
std::string toAnsi(std::u16string_view text);
// Each maximal subpart of an ill-formed sequence becomes one U+FFFD (the one
// UTF-8 decoder, platform/utf8.h); NUL bytes are kept.
std::u16string fromAnsi(std::string_view bytes);

}  // namespace stock
