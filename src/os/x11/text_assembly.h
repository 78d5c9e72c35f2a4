// Putting a selection's text together from the pieces it arrives in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "os/x11/text_decoding.h"

namespace stock::x11 {

// Decodes the pieces as they come, so that no copy of the raw bytes is kept;
// whatever the split, the text is the one that decoding all the bytes at
// once gives. The owner's size hint (its byte count) reserves room ahead,
// never more than kMaxReserve units: a larger text grows as it arrives.
class TextAssembly {
public:
    static constexpr std::size_t kMaxReserve = std::size_t{1} << 26;

    explicit TextAssembly(TextDecoder::Encoding encoding, std::optional<std::uint64_t> sizeHint = std::nullopt);

    void feed(std::string_view piece);
    // The whole text; room kept for a text much shorter than its bytes goes back.
    std::u16string finish();
    std::size_t capacity() const { return text_.capacity(); }

private:
    TextDecoder decoder_;
    std::u16string text_;
};

}  // namespace stock::x11
