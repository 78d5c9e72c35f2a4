// The X11 reader's logic without an X server: what one fetch makes of late,
// made-up, malformed and endless answers; and whole texts decoded (the INCR
// fuzzer checks that any split into pieces gives the same; UTF-8 is checked
// with the narrow conversions).
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "os/x11/selection_fetch.h"
#include "support/fake_selection_io.h"
#include "os/x11/text_decoding.h"

namespace stock::x11 {
namespace {

class Fetch : public ::testing::Test {
protected:
    using Clock = SelectionFetch::Clock;
    using Outcome = SelectionFetch::Outcome;
    static constexpr xcb_timestamp_t kOwnerTime = 5000;

    void start(std::uint64_t textBytes = SelectionFetch::kTextBytes) {
        SelectionFetch::Setup setup;
        setup.property = test::kFakeProperty;
        setup.time = kOwnerTime;
        setup.textBytes = textBytes;
        fetch_.emplace(atoms_, io_, setup);
        fetch_->start(now_);
    }
    const test::FakeSelectionIo::Request& asked() const { return io_.requests.back(); }
    xcb_atom_t askedFor() const { return asked().target; }
    // The owner's answer to the request in flight: VALUE in the property,
    // or a refusal.
    void answer(const test::FakeSelectionIo::Value& value) {
        io_.property = value;
        deliver(test::notifyEvent(atoms_, asked(), asked().property));
    }
    void refuse() { deliver(test::notifyEvent(atoms_, asked(), XCB_ATOM_NONE)); }
    // One more piece of an INCR transfer.
    void piece(const test::FakeSelectionIo::Value& value) {
        io_.property = value;
        deliver(test::newValueEvent(atoms_, test::kFakeProperty));
    }
    void deliver(const xcb_generic_event_t& ev) { fetch_->onEvent(ev, now_); }
    test::FakeSelectionIo::Value atoms(std::vector<xcb_atom_t> list) const {
        std::string bytes(list.size() * 4, '\0');
        std::memcpy(bytes.data(), list.data(), bytes.size());
        return {XCB_ATOM_ATOM, 32, bytes};
    }

    SelectionAtoms atoms_ = test::fakeAtoms();
    test::FakeSelectionIo io_;
    std::optional<SelectionFetch> fetch_;
    Clock::time_point now_ = Clock::now();
};

// Only the answer to the request in flight counts: a refusal that comes late
// from an earlier owner, one made up by another client (time 0), one for
// another target or another window changes nothing. A secret's text is
// never asked for.
TEST_F(Fetch, OnlyTheAnswerToTheRequestInFlightCountsAndASecretIsNeverRead) {
    start();
    ASSERT_EQ(askedFor(), atoms_.targets);
    EXPECT_EQ(asked().time, kOwnerTime);
    const auto targets = asked();
    deliver(test::notifyEvent(atoms_, targets, XCB_ATOM_NONE, XCB_CURRENT_TIME));
    deliver(test::notifyEvent(atoms_, targets, XCB_ATOM_NONE, kOwnerTime - 700));
    auto otherTarget = targets;
    otherTarget.target = test::kFakeUtf8;
    deliver(test::notifyEvent(atoms_, otherTarget, XCB_ATOM_NONE));
    auto forged = test::notifyEvent(atoms_, targets, XCB_ATOM_NONE);
    reinterpret_cast<xcb_selection_notify_event_t&>(forged).requestor = atoms_.window + 1;
    deliver(forged);
    EXPECT_EQ(io_.requests.size(), 1u) << "a reply to no request of ours was taken";
    answer(atoms({atoms_.targets, test::kFakeUtf8, atoms_.passwordHint}));
    ASSERT_EQ(askedFor(), atoms_.passwordHint);
    answer({XCB_ATOM_STRING, 8, "secret"});
    EXPECT_EQ(fetch_->outcome(), Outcome::Secret);
    EXPECT_EQ(io_.requests.size(), 2u);
}

// An owner that will not list its targets, or lists them as anything but
// 32-bit atoms, is asked for the hint before any text; one that refuses
// every text type cannot be read now, never empty.
TEST_F(Fetch, WithoutAListOfTargetsTheHintComesFirstAndRefusingEverythingIsNoEmptyClipboard) {
    start();
    refuse();
    ASSERT_EQ(askedFor(), atoms_.passwordHint);
    answer({XCB_ATOM_STRING, 8, "secret"});
    EXPECT_EQ(fetch_->outcome(), Outcome::Secret);

    start();
    answer({XCB_ATOM_ATOM, 16, std::string("\x65\x00\x69\x00", 4)});
    ASSERT_EQ(askedFor(), atoms_.passwordHint) << "16-bit TARGETS read as a list";
    refuse();
    ASSERT_EQ(askedFor(), test::kFakeUtf8);
    answer({test::kFakeUtf8, 8, "served\r\n\xE3\x81"});
    ASSERT_EQ(fetch_->outcome(), Outcome::Text);
    EXPECT_EQ(fetch_->takeText(), u"served\r\n\uFFFD") << "a sequence cut off at the end was dropped";

    start();
    for (int i = 0; i < 5 && fetch_->outcome() == Outcome::Running; ++i) refuse();
    EXPECT_EQ(fetch_->outcome(), Outcome::Failed);
}

// What an owner can make a fetch hold is bounded: endless TARGETS, a text
// larger than the limit, INCR pieces that change type; each fails, and what
// it held goes back.
TEST_F(Fetch, EndlessListsTooLargeTextsAndMixedPiecesFailAndLetGo) {
    start();
    answer({atoms_.incr, 32, std::string(4, '\0')});
    for (int i = 0; i < 100 && fetch_->outcome() == Outcome::Running; ++i) {
        piece(atoms(std::vector<xcb_atom_t>(1000, atoms_.targets)));
        EXPECT_LE(fetch_->held(), SelectionFetch::kListBytes * 2);
    }
    EXPECT_EQ(fetch_->outcome(), Outcome::Failed);

    start(1 << 20);
    answer(atoms({test::kFakeUtf8}));
    answer({atoms_.incr, 32, std::string(4, '\0')});
    for (int i = 0; i < 100 && fetch_->outcome() == Outcome::Running; ++i)
        piece({test::kFakeUtf8, 8, std::string(64 << 10, 'x')});
    EXPECT_EQ(fetch_->outcome(), Outcome::Failed);
    EXPECT_LT(fetch_->held(), 64u) << "the text held so far was kept";

    start();
    answer(atoms({test::kFakeUtf8}));
    answer({atoms_.incr, 32, std::string(4, '\0')});
    piece({test::kFakeUtf8, 8, "AAAA"});
    piece({XCB_ATOM_STRING, 8, "BBBB"});
    EXPECT_EQ(fetch_->outcome(), Outcome::Failed) << "a piece of another type was taken";
}

TEST(TextDecoding, CompoundText) {
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
    for (const auto& [bytes, text] : cases) EXPECT_EQ(decodeCompoundText(bytes), text) << testing::PrintToString(bytes);
}

}  // namespace
}  // namespace stock::x11
