// The text decoders and the narrow conversions, under any input:
// - a value put together from INCR pieces, whatever the split, the encoding
//   and the owner's size hint (hostile ones included), is the text that
//   decoding all the bytes at once gives, is well-formed UTF-16, and the
//   room held stays within bounds of the text's own size;
// - UTF-8 that decodes without a U+FFFD converts back byte for byte;
// - the same bytes read as UTF-16 go through the narrow conversions and
//   back unchanged, except that each lone surrogate becomes U+FFFD.
//   byte 0: encoding (mod 3)   byte 1: flags, bit 0 set when a hint is given
//   bytes 2..5: the hint (little-endian)   byte 6: seed of the piece lengths
//   the rest: the value's bytes
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "core/text/ansi.h"
#include "os/x11/text_assembly.h"
#include "os/x11/text_decoding.h"

using stock::x11::TextAssembly;
using stock::x11::TextDecoder;

namespace {

bool isHigh(char16_t c) { return c >= 0xD800 && c < 0xDC00; }
bool isLow(char16_t c) { return c >= 0xDC00 && c < 0xE000; }

// Each lone surrogate of `text` replaced by U+FFFD.
std::u16string withLoneSurrogatesReplaced(std::u16string text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (isHigh(text[i]) && i + 1 < text.size() && isLow(text[i + 1])) {
            ++i;
        } else if (isHigh(text[i]) || isLow(text[i])) {
            text[i] = 0xFFFD;
        }
    }
    return text;
}

std::u16string decodeWhole(TextDecoder::Encoding encoding, std::string_view bytes) {
    switch (encoding) {
        case TextDecoder::Encoding::Utf8:
            return stock::x11::decodeUtf8(bytes);
        case TextDecoder::Encoding::Latin1: {
            std::u16string out;
            TextDecoder(encoding).feed(bytes, out);
            return out;
        }
        case TextDecoder::Encoding::CompoundText:
            return stock::x11::decodeCompoundText(bytes);
    }
    return {};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 7) return 0;
    const auto encoding = static_cast<TextDecoder::Encoding>(data[0] % 3);
    unsigned seed = data[6];
    const std::string_view bytes(reinterpret_cast<const char*>(data + 7), size - 7);
    // A hint mostly near the value's size, wrong either way; with flags 0xFF,
    // for one input in 256 (by a hash the fuzzer cannot steer), an owner's
    // hostile one, the raw 32 bits: each of those reserves the whole cap,
    // which is slow under the sanitizers.
    std::optional<std::uint64_t> hint;
    if (data[1] & 1) {
        const std::uint64_t raw = std::uint64_t{data[2]} | std::uint64_t{data[3]} << 8 | std::uint64_t{data[4]} << 16 |
                                  std::uint64_t{data[5]} << 24;
        std::uint32_t h = 2166136261u;
        for (std::size_t i = 0; i < size; ++i) h = (h ^ data[i]) * 16777619u;
        hint = data[1] == 0xFF && h % 256 == 0 ? raw : raw % (2 * bytes.size() + 64);
    }

    const std::u16string whole = decodeWhole(encoding, bytes);
    if (withLoneSurrogatesReplaced(whole) != whole || whole.size() > 2 * bytes.size()) std::abort();

    TextAssembly assembly(encoding, hint);
    const std::size_t reserved = hint ? std::min<std::uint64_t>(*hint, TextAssembly::kMaxReserve) : 0;
    if (assembly.capacity() > std::max<std::size_t>(reserved, 15) * 2) std::abort();
    for (std::size_t i = 0; i <= bytes.size();) {
        seed = seed * 1103515245u + 12345u;
        // Pieces of up to 40 bytes, empty ones among them.
        const std::size_t n = std::min<std::size_t>(bytes.size() - i, (seed >> 16) % 41);
        assembly.feed(bytes.substr(i, n));
        i += n;
        if (i == bytes.size()) break;
    }
    const std::u16string text = assembly.finish();
    if (text != whole) std::abort();
    // Room held after the end: at most a quarter more than the text, and a
    // little over.
    if (text.capacity() > text.size() + text.size() / 4 + 4096) std::abort();

    if (encoding == TextDecoder::Encoding::Utf8 && whole.find(u'\uFFFD') == std::u16string::npos &&
        stock::toAnsi(whole) != bytes)
        std::abort();

    std::u16string units(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                         static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    if (stock::fromAnsi(stock::toAnsi(units)) != withLoneSurrogatesReplaced(units)) std::abort();
    return 0;
}
