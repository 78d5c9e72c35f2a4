// UTF-8 to and from UTF-16: the one decoder that every part of the program
// uses. Every maximal subpart of an ill-formed sequence becomes one U+FFFD,
// as Unicode recommends; decoding never reads past the end of its input.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace stock {

// Decodes a text that arrives in pieces: a sequence split between two pieces
// is carried over, so that any split gives the same result as decoding the
// whole at once.
class Utf8Decoder {
public:
    // Appends the characters that `bytes` completes.
    void feed(std::string_view bytes, std::u16string& out);
    // The input has ended: a sequence left incomplete becomes U+FFFD.
    void finish(std::u16string& out);

private:
    char32_t cp_ = 0;
    int need_ = 0;                         // continuation bytes still missing
    unsigned char lo_ = 0x80, hi_ = 0xBF;  // range of the next one
};

std::u16string decodeUtf8(std::string_view bytes);

// Whether bytes are well-formed UTF-8 (no overlong forms, surrogates or
// values past U+10FFFF): whether decoding them replaces nothing.
bool wellFormedUtf8(std::string_view bytes);

// UTF-16 to UTF-8; a surrogate without its other half becomes U+FFFD.
std::string encodeUtf8(std::u16string_view text);
void appendUtf8(std::string& out, char32_t c);

}  // namespace stock
