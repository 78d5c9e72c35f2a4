// The COMPOUND_TEXT decoder: any bytes, fed in any pieces, give what
// decoding the whole gives, and never a broken surrogate pair from a UTF-8
// segment.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/x11/text_decoding.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    unsigned seed = data[0];
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::u16string whole = stock::x11::decodeCompoundText(bytes);

    std::u16string streamed;
    stock::x11::TextDecoder d(stock::x11::TextDecoder::Encoding::CompoundText);
    for (std::size_t i = 0; i < bytes.size();) {
        seed = seed * 1103515245u + 12345u;
        const std::size_t n = std::min<std::size_t>(bytes.size() - i, (seed >> 16) % 9);
        d.feed(bytes.substr(i, n), streamed);
        i += n;
    }
    d.finish(streamed);
    if (streamed != whole) std::abort();
    if (whole.size() > bytes.size() * 2) std::abort();  // never more than two units a byte
    return 0;
}
