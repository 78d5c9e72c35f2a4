// Turning the bytes of a selection into text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/text/utf8.h"

namespace stock::x11 {

using stock::decodeUtf8;

// COMPOUND_TEXT (ISO 2022 as X uses it) to UTF-16, as it arrives in pieces.
// It starts with ASCII on the left half (GL) and ISO 8859-1 on the right
// (GR); escape sequences designate ASCII, JIS X 0201 (Roman, Katakana),
// JIS X 0208 (either half), the right halves of ISO 8859-2..16, and UTF-8
// segments (ESC % G ... ESC % @); extended segments (ESC % / n) named
// "utf-8" or "iso8859-N" are read too. A character of a set it does not
// know, or with no character at its code, becomes U+FFFD; so does a
// two-byte character cut short.
class CompoundTextDecoder {
public:
    void feed(std::string_view bytes, std::u16string& out);
    void finish(std::u16string& out);

private:
    enum class Set : unsigned char {
        Ascii,
        JisRoman,
        JisKatakana,
        Latin1,
        Table96,
        JisX0208,
        Other94,
        Other96,
        Other94x2
    };
    struct Designation {
        Set set;
        const char16_t* table = nullptr;  // Table96: codes A0..FF
    };
    enum class Mode : unsigned char { Text, Escape, Csi, ExtLength1, ExtLength2, ExtName, ExtData, Utf8 };

    void byte(unsigned char b, std::u16string& out);
    // A byte outside any sequence: a control, a character's byte, or the start of a sequence.
    void textByte(unsigned char b, std::u16string& out);
    void character(const Designation& d, unsigned char c7, bool right, std::u16string& out);
    void designate(unsigned char final);
    void dropLead(std::u16string& out);
    void extByte(unsigned char b, std::u16string& out);

    Designation gl_{Set::Ascii};
    Designation gr_{Set::Latin1};
    Mode mode_ = Mode::Text;
    unsigned char lead_ = 0;  // first byte of a two-byte character (with its half's high bit)
    std::string escape_;      // intermediate bytes of an escape sequence
    Utf8Decoder utf8_;
    // An extended segment: bytes left, its name, and how its data reads.
    std::size_t extLeft_ = 0;
    std::string extName_;
    Designation extSet_{Set::Other96};
    bool extUtf8_ = false;
};

// Decodes a selection's value as it arrives, piece by piece: whatever the
// split, the result is the same as decoding the whole at once.
class TextDecoder {
public:
    enum class Encoding { Utf8, Latin1, CompoundText };
    explicit TextDecoder(Encoding encoding) : encoding_(encoding) {}

    void feed(std::string_view bytes, std::u16string& out);
    void finish(std::u16string& out);

private:
    Encoding encoding_;
    Utf8Decoder utf8_;
    CompoundTextDecoder compound_;
};

std::u16string decodeCompoundText(std::string_view bytes);

}  // namespace stock::x11
