#include "os/x11/text_decoding.h"

#include <cctype>
#include <cstdlib>
#include <cstddef>
#include <cstring>

#include "os/x11/charset_tables.h"

namespace stock::x11 {

namespace {

constexpr char16_t kReplacement = 0xFFFD;
constexpr unsigned char kEsc = 0x1B, kCsi = 0x9B;

const char16_t* iso8859RightHalf(int n) {
    using namespace charsets;
    switch (n) {
        case 2:
            return kIso8859_2;
        case 3:
            return kIso8859_3;
        case 4:
            return kIso8859_4;
        case 5:
            return kIso8859_5;
        case 6:
            return kIso8859_6;
        case 7:
            return kIso8859_7;
        case 8:
            return kIso8859_8;
        case 9:
            return kIso8859_9;
        case 10:
            return kIso8859_10;
        case 13:
            return kIso8859_13;
        case 14:
            return kIso8859_14;
        case 15:
            return kIso8859_15;
        case 16:
            return kIso8859_16;
        default:
            return nullptr;
    }
}

// The ISO 8859 part whose right half the final byte of ESC - F names.
int iso8859Part(unsigned char final) {
    switch (final) {
        case 'A':
            return 1;
        case 'B':
            return 2;
        case 'C':
            return 3;
        case 'D':
            return 4;
        case 'L':
            return 5;
        case 'G':
            return 6;
        case 'F':
            return 7;
        case 'H':
            return 8;
        case 'M':
            return 9;
        case 'V':
            return 10;
        case 'Y':
            return 13;
        case '_':
            return 14;
        case 'b':
            return 15;
        case 'f':
            return 16;
        default:
            return 0;
    }
}

}  // namespace

void CompoundTextDecoder::feed(std::string_view bytes, std::u16string& out) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        if (mode_ == Mode::Utf8) {
            // A UTF-8 segment runs to the next ESC.
            const void* esc = std::memchr(bytes.data() + i, kEsc, bytes.size() - i);
            const std::size_t end =
                esc ? static_cast<std::size_t>(static_cast<const char*>(esc) - bytes.data()) : bytes.size();
            utf8_.feed(bytes.substr(i, end - i), out);
            i = end;
            if (i == bytes.size()) break;
        }
        byte(static_cast<unsigned char>(bytes[i++]), out);
    }
}

void CompoundTextDecoder::finish(std::u16string& out) {
    dropLead(out);
    if (mode_ == Mode::Utf8 || (mode_ == Mode::ExtData && extUtf8_)) utf8_.finish(out);
    *this = CompoundTextDecoder();
}

void CompoundTextDecoder::dropLead(std::u16string& out) {
    if (lead_ == 0) return;
    out.push_back(kReplacement);
    lead_ = 0;
}

void CompoundTextDecoder::byte(unsigned char b, std::u16string& out) {
    switch (mode_) {
        case Mode::Utf8:
            // Only ESC gets here: the segment ends (ESC % @) or is cut off.
            utf8_.finish(out);
            mode_ = Mode::Escape;
            escape_.clear();
            return;
        case Mode::Escape:
            if (b >= 0x20 && b <= 0x2F) {
                escape_.push_back(static_cast<char>(b));
                if (escape_.size() > 3) mode_ = Mode::Text;  // no sequence this long: ignored
                return;
            }
            mode_ = Mode::Text;
            if (b >= 0x30 && b <= 0x7E) {
                designate(b);
                return;
            }
            break;  // not a sequence: the byte counts as text
        case Mode::Csi:
            // A direction sequence: parameters and intermediates, then a final byte.
            if (b >= 0x20 && b <= 0x3F) return;
            mode_ = Mode::Text;
            if (b >= 0x40 && b <= 0x7E) return;
            break;
        case Mode::ExtLength1:
            extLeft_ = static_cast<std::size_t>(b & 0x7F) * 128;
            mode_ = Mode::ExtLength2;
            return;
        case Mode::ExtLength2:
            extLeft_ += b & 0x7F;
            extName_.clear();
            mode_ = extLeft_ ? Mode::ExtName : Mode::Text;
            return;
        case Mode::ExtName:
        case Mode::ExtData:
            extByte(b, out);
            return;
        case Mode::Text:
            break;
    }
    textByte(b, out);
}

void CompoundTextDecoder::textByte(unsigned char b, std::u16string& out) {
    if (b == kEsc) {
        dropLead(out);
        mode_ = Mode::Escape;
        escape_.clear();
    } else if (b == kCsi) {
        dropLead(out);
        mode_ = Mode::Csi;
    } else if (b < 0x20 || b == 0x7F || (b >= 0x80 && b < 0xA0)) {
        dropLead(out);  // controls (TAB, LF, ...) stand for themselves
        out.push_back(b);
    } else if (b == 0x20) {
        dropLead(out);  // the left half's space is a space in every set
        out.push_back(u' ');
    } else if (b < 0x80) {
        character(gl_, b, false, out);
    } else {
        character(gr_, b & 0x7F, true, out);
    }
}

void CompoundTextDecoder::character(const Designation& d, unsigned char c7, bool right, std::u16string& out) {
    const bool edge = c7 == 0x20 || c7 == 0x7F;  // A0 and FF: outside every 94-character set
    switch (d.set) {
        case Set::Latin1:
            dropLead(out);
            out.push_back(static_cast<char16_t>(0x80 | c7));
            return;
        case Set::Table96: {
            dropLead(out);
            const char16_t c = d.table[c7 - 0x20];
            out.push_back(c ? c : kReplacement);
            return;
        }
        case Set::Other96:
            dropLead(out);
            out.push_back(kReplacement);
            return;
        case Set::Ascii:
        case Set::JisRoman:
        case Set::JisKatakana:
        case Set::Other94: {
            dropLead(out);
            char16_t c = kReplacement;
            if (edge || d.set == Set::Other94)
                c = kReplacement;
            else if (d.set == Set::Ascii)
                c = c7;
            else if (d.set == Set::JisRoman)
                c = c7 == 0x5C ? u'\u00A5' : c7 == 0x7E ? u'\u203E' : char16_t{c7};
            else if (c7 <= 0x5F)
                c = static_cast<char16_t>(0xFF61 + (c7 - 0x21));  // half-width katakana
            out.push_back(c);
            return;
        }
        case Set::JisX0208:
        case Set::Other94x2: {
            const unsigned char tagged = static_cast<unsigned char>(c7 | (right ? 0x80 : 0));
            if (edge) {
                dropLead(out);
                out.push_back(kReplacement);
                return;
            }
            if (lead_ == 0 || (lead_ & 0x80) != (tagged & 0x80)) {
                dropLead(out);  // a lead from the other half is cut short
                lead_ = tagged;
                return;
            }
            const unsigned row = (lead_ & 0x7F) - 0x21u, cell = c7 - 0x21u;
            lead_ = 0;
            char16_t c = d.set == Set::JisX0208 ? charsets::kJisX0208[row * 94 + cell] : 0;
            out.push_back(c ? c : kReplacement);
            return;
        }
    }
}

void CompoundTextDecoder::designate(unsigned char final) {
    lead_ = 0;
    const std::string& e = escape_;
    if (e == "(" || e == ")") {
        Designation d{Set::Other94};
        if (final == 'B')
            d.set = Set::Ascii;
        else if (final == 'J')
            d.set = Set::JisRoman;
        else if (final == 'I')
            d.set = Set::JisKatakana;
        (e == "(" ? gl_ : gr_) = d;
    } else if (e == "-") {
        const int part = iso8859Part(final);
        Designation d{Set::Other96};
        if (part == 1)
            d.set = Set::Latin1;
        else if (const char16_t* t = iso8859RightHalf(part))
            d = {Set::Table96, t};
        gr_ = d;
    } else if (e == "$(" || e == "$)" || e == "$") {
        const Designation d{final == 'B' || final == '@' ? Set::JisX0208 : Set::Other94x2};
        (e == "$)" ? gr_ : gl_) = d;
    } else if (e == "%" && final == 'G') {
        mode_ = Mode::Utf8;
    } else if (e == "%/" && final >= '0' && final <= '4') {
        mode_ = Mode::ExtLength1;
    }
    // ESC % @ outside a UTF-8 segment, and sequences for other sets or
    // controls, change nothing.
}

void CompoundTextDecoder::extByte(unsigned char b, std::u16string& out) {
    --extLeft_;
    if (mode_ == Mode::ExtName) {
        if (b == 0x02) {  // STX ends the name
            std::string name;
            for (const char c : extName_)
                name.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
            extUtf8_ = name == "utf-8" || name == "iso10646-1";
            extSet_ = {Set::Other96};
            if (name.rfind("iso8859-", 0) == 0) {
                const int part = std::atoi(name.c_str() + 8);
                if (part == 1)
                    extSet_ = {Set::Latin1};
                else if (const char16_t* t = iso8859RightHalf(part))
                    extSet_ = {Set::Table96, t};
            }
            mode_ = Mode::ExtData;
        } else if (extName_.size() < 64) {
            extName_.push_back(static_cast<char>(b));
        }
    } else if (extUtf8_) {
        const char c = static_cast<char>(b);
        utf8_.feed(std::string_view(&c, 1), out);
    } else if (b < 0xA0) {
        out.push_back(b < 0x80 || extSet_.set == Set::Latin1 ? b : kReplacement);
    } else {
        character(extSet_, b & 0x7F, true, out);
    }
    if (extLeft_ == 0) {
        if (mode_ == Mode::ExtData && extUtf8_) utf8_.finish(out);
        extUtf8_ = false;
        mode_ = Mode::Text;
    }
}

std::u16string decodeCompoundText(std::string_view bytes) {
    std::u16string out;
    CompoundTextDecoder d;
    d.feed(bytes, out);
    d.finish(out);
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
            compound_.feed(bytes, out);
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
            compound_.finish(out);
            return;
    }
}

}  // namespace stock::x11
