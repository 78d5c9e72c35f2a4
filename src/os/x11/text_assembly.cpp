#include "os/x11/text_assembly.h"

#include <algorithm>
#include <utility>

namespace stock::x11 {

TextAssembly::TextAssembly(TextDecoder::Encoding encoding, std::optional<std::uint64_t> sizeHint) : decoder_(encoding) {
    // A text has at most one UTF-16 unit per byte.
    if (sizeHint) text_.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(*sizeHint, kMaxReserve)));
}

void TextAssembly::feed(std::string_view piece) {
    if (!piece.empty()) decoder_.feed(piece, text_);
}

std::u16string TextAssembly::finish() {
    decoder_.finish(text_);
    if (text_.capacity() > text_.size() + text_.size() / 4 + 4096) text_.shrink_to_fit();
    return std::move(text_);
}

}  // namespace stock::x11
