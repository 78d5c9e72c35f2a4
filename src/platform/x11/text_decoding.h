// Turning the bytes of a selection into text.
#pragma once

#include <string>
#include <string_view>

namespace stock::x11 {

// UTF-8 to UTF-16. Every maximal subpart of an ill-formed sequence becomes
// one U+FFFD, as Unicode recommends; the decoder never reads past the end.
std::u16string decodeUtf8(std::string_view bytes);

// ISO 8859-1 (the STRING type of X selections) to UTF-16.
std::u16string decodeLatin1(std::string_view bytes);

}  // namespace stock::x11
