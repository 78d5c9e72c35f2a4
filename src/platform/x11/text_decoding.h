// Turning the bytes of a selection into text.
#pragma once

#include <string>
#include <string_view>

#include "platform/utf8.h"

namespace stock::x11 {

using stock::decodeUtf8;

// ISO 8859-1 (the STRING type of X selections) to UTF-16.
std::u16string decodeLatin1(std::string_view bytes);

// Decodes a selection's value as it arrives, piece by piece: whatever the
// split, the result is the same as decoding the whole at once.
class TextDecoder {
public:
    enum class Encoding { Utf8, Latin1, CompoundText };
    explicit TextDecoder(Encoding encoding) : encoding_(encoding) {}

    void feed(std::string_view bytes, std::u16string& out);
    void finish(std::u16string& out);

private:
    Encoding encoding_;
    Utf8Decoder utf8_;
    std::string compound_;
};

}  // namespace stock::x11
