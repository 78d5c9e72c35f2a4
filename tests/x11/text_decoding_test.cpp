#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "platform/x11/text_decoding.h"

namespace stock::x11 {
namespace {

constexpr char16_t R = 0xFFFD;

struct Case {
    const char* name;
    std::string bytes;
    std::u16string text;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

std::string caseName(const ::testing::TestParamInfo<Case>& c) { return c.param.name; }

class Utf8Decoding : public ::testing::TestWithParam<Case> {};

TEST_P(Utf8Decoding, GivesTheExpectedCodeUnits) { EXPECT_EQ(decodeUtf8(GetParam().bytes), GetParam().text); }

INSTANTIATE_TEST_SUITE_P(WellFormed, Utf8Decoding,
                         ::testing::Values(Case{"Empty", "", u""}, Case{"Ascii", "abc\r\n\t", u"abc\r\n\t"},
                                           Case{"NulKept", std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
                                           Case{"TwoByte", "\xC3\xA9", u"\u00E9"},
                                           Case{"ThreeByte", "\xE3\x81\x99\xE3\x81\xA8", u"すと"},
                                           Case{"LargestBmp", "\xEF\xBF\xBF", u"\uFFFF"},
                                           Case{"SmallestOfThree", "\xE0\xA0\x80", u"\u0800"},
                                           Case{"EmojiIsASurrogatePair", "\xF0\x9F\x98\x80", u"\U0001F600"},
                                           Case{"LargestCodePoint", "\xF4\x8F\xBF\xBF", u"\U0010FFFF"}),
                         caseName);

// One U+FFFD per maximal subpart of an ill-formed sequence.
INSTANTIATE_TEST_SUITE_P(IllFormed, Utf8Decoding,
                         ::testing::Values(Case{"UnicodeTable3_8",
                                                "\x61\xF1\x80\x80\xE1\x80\xC2\x62\x80\x63\x80\xBF\x64",
                                                {u'a', R, R, R, u'b', R, u'c', R, R, u'd'}},
                                           Case{"LoneContinuation", "\x80", {R}},
                                           Case{"OverlongTwoByte", "\xC0\xAF", {R, R}},
                                           Case{"OverlongThreeByte", "\xE0\x80\xAF", {R, R, R}},
                                           Case{"OverlongFourByte", "\xF0\x80\x80\xAF", {R, R, R, R}},
                                           Case{"Surrogate", "\xED\xA0\x80", {R, R, R}},
                                           Case{"AboveUnicode", "\xF4\x90\x80\x80", {R, R, R, R}},
                                           Case{"NeverALead", "\xF5\xFE\xFF", {R, R, R}},
                                           Case{"TruncatedThreeAtEnd", "x\xE2\x82", {u'x', R}},
                                           Case{"TruncatedFourAtEnd", "\xF0\x9F\x98", {R}},
                                           Case{"TruncatedThenAscii", "\xF0\x9F\x98z", {R, u'z'}},
                                           Case{"TruncatedThenLead", "\xE3\x81\xE3\x81\x99", {R, u'す'}}),
                         caseName);

// A text that arrives in pieces decodes as the whole does, wherever the
// pieces split it: inside a sequence, inside an ill-formed one, or between
// a lead byte and a byte that ends it.
TEST(StreamedDecoding, AnySplitGivesTheSameTextAsTheWhole) {
    const std::string samples[] = {
        "ok\xC0\xAF|\xE3\x81|\xED\xA0\x80|\xF0\x9F\x98\x80|\xFF",
        "\x61\xF1\x80\x80\xE1\x80\xC2\x62\x80\x63\x80\xBF\x64",
        "\xE3\x81\xE3\x81\x99\xF0\x9F\x98z\xF4\x90\x80\x80\xE0\x80\xAF",
        "\xE3\x81\x99\xE3\x81\xA8\xF4\x8F\xBF\xBF\xC3\xA9 end \xF0\x9F\x98",
    };
    for (const auto& bytes : samples) {
        for (const auto encoding : {TextDecoder::Encoding::Utf8, TextDecoder::Encoding::Latin1}) {
            const std::u16string whole =
                encoding == TextDecoder::Encoding::Utf8 ? decodeUtf8(bytes) : decodeLatin1(bytes);
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
            // One byte at a time.
            TextDecoder d(encoding);
            std::u16string out;
            for (const char c : bytes) d.feed(std::string_view(&c, 1), out);
            d.finish(out);
            EXPECT_EQ(out, whole);
        }
    }
}

struct CompoundCase {
    const char* name;
    std::string bytes;
    std::u16string text;
};
void PrintTo(const CompoundCase& c, std::ostream* os) { *os << c.name; }

class CompoundTextDecoding : public ::testing::TestWithParam<CompoundCase> {};

TEST_P(CompoundTextDecoding, GivesTheTextWholeAndInAnySplit) {
    const auto& c = GetParam();
    EXPECT_EQ(decodeCompoundText(c.bytes), c.text);
    for (std::size_t i = 0; i <= c.bytes.size(); ++i) {
        for (std::size_t j = i; j <= c.bytes.size(); ++j) {
            TextDecoder d(TextDecoder::Encoding::CompoundText);
            std::u16string out;
            d.feed(std::string_view(c.bytes).substr(0, i), out);
            d.feed(std::string_view(c.bytes).substr(i, j - i), out);
            d.feed(std::string_view(c.bytes).substr(j), out);
            d.finish(out);
            ASSERT_EQ(out, c.text) << "split at " << i << " and " << j;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sets, CompoundTextDecoding,
    ::testing::Values(
        CompoundCase{"AsciiAndLatin1ByDefault", "a\tb\nc\xE9\xFF", u"a\tb\nc\u00E9\u00FF"},
        CompoundCase{"JisX0208OnTheRight", "\x1b$)B\xA4\xB9\xA4\xC8x", u"すとx"},
        CompoundCase{"JisX0208OnTheLeft", "\x1b$(B\x24\x39\x30\x21 \x1b(Bx", u"す亜 x"},
        CompoundCase{"JisX0208OldDesignation", "\x1b$B\x24\x39\x1b(B!", u"す!"},
        CompoundCase{"WaveDashAndFullwidthBackslash", "\x1b$)B\xA1\xC1\xA1\xC0", u"\u301C\uFF3C"},
        CompoundCase{"JisX0201", "\x1b)I\xB1\xDF\x1b(J\\~", u"\uFF71\uFF9F\u00A5\u203E"},
        CompoundCase{"Iso8859RightHalves", "\x1b-L\xC0\x1b-F\xE1\x1b-B\xA1\x1b-b\xA4\x1b-H\xE0\x1b-A\xE9",
                     u"\u0420\u03B1\u0104\u20AC\u05D0\u00E9"},
        CompoundCase{"Utf8Segment", "a\x1b%G\xE3\x81\x99\xF0\x9F\x98\x80\x1b%@\xE9", u"aす\U0001F600\u00E9"},
        CompoundCase{"Utf8SegmentCutShort", "\x1b%G\xE3\x81\x1b%@x", u"\uFFFDx"},
        CompoundCase{"ExtendedSegmentUtf8", std::string("\x1b%/1\x80\x89utf-8\x02\xE3\x81\x99x", 16), u"すx"},
        CompoundCase{"DirectionSequencesSkipped",
                     "\x9B"
                     "1]ab\x9B]",
                     u"ab"},
        CompoundCase{"UnknownDoubleByteSet", "\x1b$)C\xB0\xA1z", u"\uFFFDz"},
        CompoundCase{"LeadByteCutShort", "\x1b$)B\xA4\x1b(Bz\x1b$)B\xA4", u"\uFFFDz\uFFFD"},
        CompoundCase{"UnassignedJisCode", "\x1b$)B\xA2\xAF", u"\uFFFD"}),
    [](const ::testing::TestParamInfo<CompoundCase>& c) { return std::string(c.param.name); });

TEST(Latin1Decoding, MapsEachByteToItsCodePoint) {
    EXPECT_EQ(decodeLatin1("a\xE9\xFF\x80"), (std::u16string{u'a', 0xE9, 0xFF, 0x80}));
    EXPECT_EQ(decodeLatin1(""), u"");
}

}  // namespace
}  // namespace stock::x11
