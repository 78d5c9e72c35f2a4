#include "core/text/ansi.h"

#include "core/text/utf8.h"

namespace stock {

std::string toAnsi(std::u16string_view text) { return encodeUtf8(text); }

std::u16string fromAnsi(std::string_view bytes) { return decodeUtf8(bytes); }

}  // namespace stock
