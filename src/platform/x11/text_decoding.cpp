#include "platform/x11/text_decoding.h"

#include <cstddef>

namespace stock::x11 {

std::u16string decodeLatin1(std::string_view bytes) {
    std::u16string out(bytes.size(), u'\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        out[i] = static_cast<unsigned char>(bytes[i]);
    return out;
}

void TextDecoder::feed(std::string_view bytes, std::u16string& out) {
    switch (encoding_) {
    case Encoding::Utf8:
        utf8_.feed(bytes, out);
        return;
    case Encoding::Latin1:
        for (const char c : bytes) out.push_back(static_cast<unsigned char>(c));
        return;
    case Encoding::CompoundText:
        compound_.append(bytes);
        return;
    }
}

void TextDecoder::finish(std::u16string& out) {
    switch (encoding_) {
    case Encoding::Utf8:
        utf8_.finish(out);
        return;
    case Encoding::Latin1:
        return;
    case Encoding::CompoundText:
        if (compound_.find('\x1b') == std::string::npos) out += decodeLatin1(compound_);
        else out += decodeUtf8(compound_);
        compound_.clear();
        return;
    }
}

}  // namespace stock::x11
