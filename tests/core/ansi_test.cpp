// The narrow (ANSI) conversions, which are UTF-8 here, and the one UTF-8
// decoder behind them.
#include <gtest/gtest.h>

#include <string>

#include "platform/ansi.h"
#include "platform/utf8.h"

namespace stock {
namespace {

constexpr char16_t R = 0xFFFD;

TEST(AnsiConversion, RoundTripsEveryKindOfCharacter) {
    const std::u16string text = u"a\r\n\u00E9\u0800すと\uFFFF\U0001F600\U0010FFFF";
    const std::string bytes = toAnsi(text);
    EXPECT_EQ(bytes, "a\r\n\xC3\xA9\xE0\xA0\x80\xE3\x81\x99\xE3\x81\xA8\xEF\xBF\xBF\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF");
    EXPECT_EQ(fromAnsi(bytes), text);
}

TEST(AnsiConversion, LoneSurrogatesBecomeReplacementCharacters) {
    const std::string r = "\xEF\xBF\xBD";
    EXPECT_EQ(toAnsi(std::u16string{u'a', 0xD800}), "a" + r) << "high surrogate at the end";
    EXPECT_EQ(toAnsi(std::u16string{0xDC00, u'b'}), r + "b") << "low surrogate alone";
    EXPECT_EQ(toAnsi(std::u16string{0xD83D, 0xD83D, 0xDE00}), r + "\xF0\x9F\x98\x80") << "high, then a pair";
    EXPECT_EQ(toAnsi(std::u16string{0xDE00, 0xD83D}), r + r) << "a pair in the wrong order";
}

TEST(AnsiConversion, NulBytesAreKept) {
    EXPECT_EQ(fromAnsi(std::string("a\0b\0", 4)), std::u16string(u"a\0b\0", 4));
    EXPECT_EQ(toAnsi(std::u16string(u"\0x", 2)), std::string("\0x", 2));
}

TEST(AnsiConversion, IllFormedInputGivesOneReplacementPerMaximalSubpart) {
    EXPECT_EQ(fromAnsi("\xED\xA0\x80"), (std::u16string{R, R, R})) << "a surrogate's encoding";
    EXPECT_EQ(fromAnsi("\xC0\xAF"), (std::u16string{R, R})) << "overlong";
    EXPECT_EQ(fromAnsi("\xF4\x90\x80\x80"), (std::u16string{R, R, R, R})) << "above U+10FFFF";
    EXPECT_EQ(fromAnsi("\x61\xF1\x80\x80\xE1\x80\xC2\x62\x80\x63\x80\xBF\x64"),
              (std::u16string{u'a', R, R, R, u'b', R, u'c', R, R, u'd'}));
    EXPECT_EQ(fromAnsi("\xE3\x81"), (std::u16string{R})) << "cut short at the end";
    EXPECT_EQ(fromAnsi("\xE3\x81z"), (std::u16string{R, u'z'}));
    EXPECT_EQ(fromAnsi("\xFF\xFE"), (std::u16string{R, R}));
}

TEST(Utf8Decoder, StreamedBytesGiveTheWholeResult) {
    const std::string bytes = "\xE3\x81\x99\xED\xA0\x80\xF0\x9F\x98\x80\xC3\xF0\x9F";
    std::u16string out;
    Utf8Decoder d;
    for (const char c : bytes) d.feed(std::string_view(&c, 1), out);
    d.finish(out);
    EXPECT_EQ(out, decodeUtf8(bytes));
    EXPECT_EQ(out, (std::u16string{u'す', R, R, R, 0xD83D, 0xDE00, R, R}));
}

}  // namespace
}  // namespace stock
