#include "core/text/utf8.h"

namespace stock {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

void put(std::u16string& out, char32_t cp) {
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
    } else {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    }
}

}  // namespace

void Utf8Decoder::feed(std::string_view bytes, std::u16string& out) {
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    while (i < n) {
        if (need_ == 0) {
            // Runs of ASCII go straight through.
            while (i < n && s[i] < 0x80) out.push_back(s[i++]);
            if (i == n) break;
            const unsigned char lead = s[i++];
            // Number of continuation bytes, and the range allowed for the
            // first of them (which rules out overlong forms, surrogates and
            // values above U+10FFFF); later ones are always 80..BF.
            lo_ = 0x80;
            hi_ = 0xBF;
            if (lead >= 0xC2 && lead <= 0xDF) {
                need_ = 1;
                cp_ = lead & 0x1F;
            } else if (lead >= 0xE0 && lead <= 0xEF) {
                need_ = 2;
                cp_ = lead & 0x0F;
                if (lead == 0xE0) lo_ = 0xA0;
                if (lead == 0xED) hi_ = 0x9F;
            } else if (lead >= 0xF0 && lead <= 0xF4) {
                need_ = 3;
                cp_ = lead & 0x07;
                if (lead == 0xF0) lo_ = 0x90;
                if (lead == 0xF4) hi_ = 0x8F;
            } else {
                out.push_back(kReplacement);  // 80..C1, F5..FF never start a character
            }
            continue;
        }
        const unsigned char b = s[i];
        if (b < lo_ || b > hi_) {
            // The sequence so far is one maximal subpart; `b` starts afresh.
            out.push_back(kReplacement);
            need_ = 0;
            continue;
        }
        ++i;
        cp_ = (cp_ << 6) | (b & 0x3F);
        lo_ = 0x80;
        hi_ = 0xBF;
        if (--need_ == 0) put(out, cp_);
    }
}

void Utf8Decoder::finish(std::u16string& out) {
    if (need_ != 0) out.push_back(kReplacement);
    need_ = 0;
}

std::u16string decodeUtf8(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    Utf8Decoder d;
    d.feed(bytes, out);
    d.finish(out);
    return out;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

bool wellFormedUtf8(std::string_view bytes) {
    // Each ill-formed part becomes U+FFFD, whose encoding differs from it.
    return encodeUtf8(decodeUtf8(bytes)) == bytes;
}

std::string encodeUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            appendUtf8(out, 0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (c >= 0xD800 && c < 0xE000) {
            appendUtf8(out, kReplacement);  // half a pair
        } else {
            appendUtf8(out, c);
        }
    }
    return out;
}

}  // namespace stock
