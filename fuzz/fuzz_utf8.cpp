// The UTF-8 decoder: any bytes, fed in any pieces, give what decoding the
// whole gives; the result is well-formed UTF-16 that encodes and decodes
// back to itself.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // The first byte seeds the piece sizes; the rest is the text.
    unsigned seed = data[0];
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::u16string whole = stock::decodeUtf8(bytes);

    std::u16string streamed;
    stock::Utf8Decoder d;
    for (std::size_t i = 0; i < bytes.size();) {
        seed = seed * 1103515245u + 12345u;
        const std::size_t n = std::min<std::size_t>(bytes.size() - i, (seed >> 16) % 7);
        d.feed(bytes.substr(i, n), streamed);
        i += n;
    }
    d.finish(streamed);
    if (streamed != whole) std::abort();

    for (std::size_t i = 0; i < whole.size(); ++i) {
        const char16_t c = whole[i];
        if (c >= 0xD800 && c < 0xDC00) {
            if (i + 1 >= whole.size() || whole[i + 1] < 0xDC00 || whole[i + 1] >= 0xE000) std::abort();
            ++i;
        } else if (c >= 0xDC00 && c < 0xE000) {
            std::abort();
        }
    }
    if (stock::decodeUtf8(stock::encodeUtf8(whole)) != whole) std::abort();
    // Well-formed input comes back byte for byte.
    if (whole.find(u'\uFFFD') == std::u16string::npos && stock::encodeUtf8(whole) != bytes) std::abort();
    return 0;
}
