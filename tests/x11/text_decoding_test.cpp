#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "platform/x11/text_assembly.h"
#include "platform/x11/text_decoding.h"

namespace stock::x11 {
namespace {

// (UTF-8 decoding alone is checked with the narrow conversions.)
TEST(Latin1Decoding, EveryByteIsItsOwnCodePoint) {
    EXPECT_EQ(decodeLatin1(std::string("a\xE9\xFF\x80\0", 5)), (std::u16string{u'a', 0xE9, 0xFF, 0x80, 0}));
}

// Feeds `bytes` in three pieces split at every pair of places, and one byte
// at a time: each gives `whole`.
void expectAnySplitGives(TextDecoder::Encoding encoding, const std::string& bytes, const std::u16string& whole) {
    for (std::size_t i = 0; i <= bytes.size(); ++i) {
        for (std::size_t j = i; j <= bytes.size(); ++j) {
            TextDecoder d(encoding);
            std::u16string out;
            d.feed(std::string_view(bytes).substr(0, i), out);
            d.feed(std::string_view(bytes).substr(i, j - i), out);
            d.feed(std::string_view(bytes).substr(j), out);
            d.finish(out);
            ASSERT_EQ(out, whole) << "split at " << i << " and " << j;
        }
    }
    TextDecoder d(encoding);
    std::u16string out;
    for (const char c : bytes) d.feed(std::string_view(&c, 1), out);
    d.finish(out);
    EXPECT_EQ(out, whole);
}

// Wherever the pieces split a text: inside a sequence, inside an ill-formed
// one, or between a lead byte and a byte that ends it.
TEST(StreamedDecoding, AnySplitGivesTheSameTextAsTheWhole) {
    for (const std::string bytes : {
             "ok\xC0\xAF|\xE3\x81|\xED\xA0\x80|\xF0\x9F\x98\x80|\xFF",
             "\x61\xF1\x80\x80\xE1\x80\xC2\x62\x80\x63\x80\xBF\x64",
             "\xE3\x81\xE3\x81\x99\xF0\x9F\x98z\xF4\x90\x80\x80\xE0\x80\xAF",
             "\xE3\x81\x99\xE3\x81\xA8\xF4\x8F\xBF\xBF\xC3\xA9 end \xF0\x9F\x98",
         }) {
        expectAnySplitGives(TextDecoder::Encoding::Utf8, bytes, decodeUtf8(bytes));
        expectAnySplitGives(TextDecoder::Encoding::Latin1, bytes, decodeLatin1(bytes));
    }
}

TEST(CompoundTextDecoding, GivesTheTextWholeAndInAnySplit) {
    const std::pair<std::string, std::u16string> cases[] = {
        {"a\tb\nc\xE9\xFF", u"a\tb\nc\u00E9\u00FF"},  // ASCII and Latin-1 by default
        {"\x1b$)B\xA4\xB9\xA4\xC8x", u"すとx"},       // JIS X 0208 on the right
        {"\x1b$(B\x24\x39\x30\x21 \x1b(Bx", u"す亜 x"},
        {"\x1b$B\x24\x39\x1b(B!", u"す!"},  // the old designation
        {"\x1b$)B\xA1\xC1\xA1\xC0", u"\u301C\uFF3C"},
        {"\x1b)I\xB1\xDF\x1b(J\\~", u"\uFF71\uFF9F\u00A5\u203E"},  // JIS X 0201
        {"\x1b-L\xC0\x1b-F\xE1\x1b-B\xA1\x1b-b\xA4\x1b-H\xE0\x1b-A\xE9", u"\u0420\u03B1\u0104\u20AC\u05D0\u00E9"},
        {"a\x1b%G\xE3\x81\x99\xF0\x9F\x98\x80\x1b%@\xE9", u"aす\U0001F600\u00E9"},  // a UTF-8 segment
        {"\x1b%G\xE3\x81\x1b%@x", u"\uFFFDx"},
        {std::string("\x1b%/1\x80\x89utf-8\x02\xE3\x81\x99x", 16), u"すx"},  // an extended segment
        {"\x9B"
         "1]ab\x9B]",
         u"ab"},                                              // direction sequences are skipped
        {"\x1b$)C\xB0\xA1z", u"\uFFFDz"},                     // an unknown double-byte set
        {"\x1b$)B\xA4\x1b(Bz\x1b$)B\xA4", u"\uFFFDz\uFFFD"},  // a lead byte cut short
        {"\x1b$)B\xA2\xAF", u"\uFFFD"},                       // an unassigned JIS code
    };
    for (const auto& [bytes, text] : cases) {
        SCOPED_TRACE(::testing::PrintToString(bytes));
        EXPECT_EQ(decodeCompoundText(bytes), text);
        expectAnySplitGives(TextDecoder::Encoding::CompoundText, bytes, text);
    }
}

// An owner's INCR size hint of 4 GiB reserves no more than the cap; the
// room left over goes back at the end.
TEST(TextAssembly, AHostileSizeHintIsCappedAndTheRoomGivenBack) {
    TextAssembly a(TextDecoder::Encoding::Utf8, 0xFFFFFFFFu);
    EXPECT_LE(a.capacity(), TextAssembly::kMaxReserve);
    for (const char* piece : {"ab", "", "\xE3\x81", "\x99"}) a.feed(piece);
    const std::u16string text = a.finish();
    EXPECT_EQ(text, u"abす");
    EXPECT_LT(text.capacity(), 8192u);
}

}  // namespace
}  // namespace stock::x11
