// The narrow conversions: any UTF-16 (lone surrogates included) goes to
// UTF-8 and back unchanged except that each lone surrogate is U+FFFD; any
// bytes decode to a text that converts back to the same bytes when they
// were well-formed.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/ansi.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::u16string text(size / 2, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    std::u16string expected = text;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const char16_t c = expected[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < expected.size() && expected[i + 1] >= 0xDC00 &&
            expected[i + 1] < 0xE000) {
            ++i;
        } else if (c >= 0xD800 && c < 0xE000) {
            expected[i] = 0xFFFD;
        }
    }
    if (stock::fromAnsi(stock::toAnsi(text)) != expected) std::abort();

    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::u16string decoded = stock::fromAnsi(bytes);
    if (decoded.find(u'\uFFFD') == std::u16string::npos && stock::toAnsi(decoded) != bytes) std::abort();
    return 0;
}
