#include <gtest/gtest.h>

#include <thread>

#include "platform/x11/selection_state.h"

namespace stock::x11 {
namespace {

constexpr std::uint32_t kForeign = 0x0200001;
constexpr std::uint32_t kOwn = 0x0400001;

std::optional<std::u16string> text(SelectionState& s) {
    auto r = s.read();
    if (!r.text) return std::nullopt;
    return r.text->str();
}

// A foreign owner takes the clipboard and a read asks for its text: the
// fetch handed to the reader thread.
std::optional<std::uint64_t> newOwnerRead(SelectionState& s, std::uint32_t owner = kForeign) {
    s.ownerChanged(owner, false);
    if (s.read().text) return std::nullopt;
    return s.takeFetch();
}

// A state whose clipboard a foreign owner filled with `t`.
void fetchFrom(SelectionState& s, const std::u16string& t) {
    auto g = newOwnerRead(s);
    ASSERT_TRUE(g);
    s.fetched(*g, t);
}

TEST(SelectionStateFetching, IsBusyUntilTheFirstFetchEnds) {
    SelectionState s;
    EXPECT_FALSE(s.takeFetch()) << "fetched before anyone asked";
    EXPECT_EQ(text(s), std::nullopt);
    auto g = s.takeFetch();
    ASSERT_TRUE(g);
    EXPECT_FALSE(s.takeFetch()) << "a fetch is handed out once";
    EXPECT_EQ(text(s), std::nullopt);
    s.fetched(*g, u"abc");
    EXPECT_EQ(text(s), u"abc");
}

TEST(SelectionStateFetching, UnchangedClipboardIsTheSameSnapshotWithoutFetching) {
    SelectionState s;
    fetchFrom(s, u"abc");
    const auto first = s.read().text;
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(s.read().text->sharesBufferWith(*first)) << "the same buffer, not a copy";
        EXPECT_FALSE(s.takeFetch());
    }
    EXPECT_EQ(s.transfers(), 1u);
}

TEST(SelectionStateFetching, OwnerChangeInvalidatesAndDropsTheOldFetch) {
    SelectionState s;
    fetchFrom(s, u"old");
    auto g1 = newOwnerRead(s);
    ASSERT_TRUE(g1) << "the old text is gone with its owner";
    s.ownerChanged(kForeign + 1, false);  // changed again before the fetch ended
    EXPECT_FALSE(s.wanted(*g1));
    EXPECT_EQ(text(s), std::nullopt);
    auto g2 = s.takeFetch();
    ASSERT_TRUE(g2);
    s.fetched(*g1, u"stale");
    EXPECT_EQ(text(s), std::nullopt);
    s.fetched(*g2, u"new");
    EXPECT_EQ(text(s), u"new");
}

TEST(SelectionStateFetching, NoOwnerReadsEmptyWithoutFetching) {
    SelectionState s;
    fetchFrom(s, u"abc");
    s.ownerChanged(0, false);
    EXPECT_EQ(text(s), u"");
    EXPECT_FALSE(s.takeFetch());
}

TEST(SelectionStateFetching, BurstOfOwnersCostsOneFetchOfTheNewestWhenRead) {
    SelectionState s;
    fetchFrom(s, u"old");
    const auto before = s.generation();
    for (std::uint32_t i = 1; i <= 50; ++i) {
        s.ownerChanged(kForeign + i, false);
        EXPECT_FALSE(s.takeFetch()) << "an owner change alone started a fetch";
    }
    EXPECT_NE(s.generation(), before);
    EXPECT_EQ(text(s), std::nullopt);
    auto g = s.takeFetch();
    ASSERT_TRUE(g);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(text(s), std::nullopt) << "a read during the fetch";
        EXPECT_FALSE(s.takeFetch()) << "a second fetch while one runs";
    }
    s.fetched(*g, u"newest");
    const auto a = s.read().text, b = s.read().text;
    ASSERT_TRUE(a && b);
    EXPECT_EQ(*a, u"newest");
    EXPECT_TRUE(a->sharesBufferWith(*b));
    EXPECT_EQ(s.transfers(), 2u);
}

TEST(SelectionStateFailures, FailedFetchIsBusyAndRetriedOncePerRead) {
    SelectionState s;
    auto g = newOwnerRead(s);
    s.failed(*g);
    EXPECT_FALSE(s.takeFetch()) << "no retry until someone reads";
    auto r = s.read();
    EXPECT_EQ(r.text, std::nullopt);
    EXPECT_TRUE(r.wakeReader);
    auto retry = s.takeFetch();
    ASSERT_TRUE(retry);
    EXPECT_NE(*retry, *g);
    r = s.read();  // while the retry runs
    EXPECT_EQ(r.text, std::nullopt);
    EXPECT_FALSE(r.wakeReader);
    s.fetched(*retry, u"late");
    EXPECT_EQ(text(s), u"late");
}

TEST(SelectionStateFailures, SecretIsBusyAndNotRetried) {
    SelectionState s;
    fetchFrom(s, u"before");
    s.secretFound(*newOwnerRead(s));
    for (int i = 0; i < 3; ++i) {
        auto r = s.read();
        EXPECT_EQ(r.text, std::nullopt);
        EXPECT_FALSE(r.wakeReader);
        EXPECT_FALSE(s.takeFetch());
    }
    fetchFrom(s, u"after");
    EXPECT_EQ(text(s), u"after");
}

TEST(SelectionStateOwnWrites, AreReadAtOnceAndTheirOwnerChangeIsNotFetched) {
    SelectionState s;
    fetchFrom(s, u"foreign");
    s.ownWriteBegun(u"mine");
    EXPECT_EQ(text(s), u"mine");
    s.ownerChanged(kOwn, true);
    EXPECT_EQ(text(s), u"mine");
    EXPECT_FALSE(s.takeFetch());
    EXPECT_EQ(s.transfers(), 1u);
}

TEST(SelectionStateOwnWrites, ToolkitCopyWithoutAWriteIsFetched) {
    SelectionState s;
    s.ownWriteBegun(u"one");
    s.ownWriteBegun(u"two");
    s.ownerChanged(kOwn, true);
    s.ownerChanged(kOwn, true);
    EXPECT_EQ(text(s), u"two");
    s.ownerChanged(kOwn, true);  // e.g. a copy key in a text field
    EXPECT_EQ(text(s), std::nullopt);
    auto g = s.takeFetch();
    ASSERT_TRUE(g);
    s.fetched(*g, u"three");
    EXPECT_EQ(text(s), u"three");
}

TEST(SelectionStateOwnWrites, FollowTheServersOrderOfOwners) {
    SelectionState s;
    s.ownWriteBegun(u"mine");
    s.ownerChanged(kForeign, false);  // a foreign copy the server saw first
    EXPECT_EQ(text(s), std::nullopt);
    auto g = s.takeFetch();
    s.ownerChanged(kOwn, true);  // then our write took over
    EXPECT_FALSE(s.wanted(*g));
    EXPECT_EQ(text(s), u"mine");
}

TEST(SelectionStateOwnWrites, SupersedeAFetchUnderWay) {
    SelectionState s;
    auto g = newOwnerRead(s);
    s.ownWriteBegun(u"mine");
    EXPECT_FALSE(s.wanted(*g));
    s.fetched(*g, u"old owner's");
    EXPECT_EQ(text(s), u"mine");
}

TEST(SelectionStateOwnWrites, FailedWriteFetchesTheRealClipboard) {
    SelectionState s;
    fetchFrom(s, u"foreign");
    s.ownWriteBegun(u"mine");
    EXPECT_TRUE(s.ownWriteFailed());
    EXPECT_EQ(text(s), std::nullopt);
    auto g = s.takeFetch();
    ASSERT_TRUE(g);
    s.ownerChanged(kOwn, true);  // not expected any more: fetched like any other
    EXPECT_EQ(text(s), std::nullopt);
    EXPECT_TRUE(s.takeFetch());
}

}  // namespace
}  // namespace stock::x11

namespace stock::x11 {
namespace {

const auto kSoon = std::chrono::seconds(5);

TEST(SelectionStatePaste, SecretIsFetchedForThePasteAloneAndNotKept) {
    SelectionState s;
    auto g = newOwnerRead(s);
    s.secretFound(*g);
    EXPECT_FALSE(s.takeFetch());
    const auto r = s.requestPaste();
    EXPECT_FALSE(r.text);
    EXPECT_TRUE(r.wakeReader);
    auto pg = s.takeFetch();
    ASSERT_TRUE(pg) << "no fetch for the paste";
    EXPECT_TRUE(s.pasteWanted(*pg));
    s.secretFetched(*pg, SharedText(u"hunter2"));
    EXPECT_EQ(s.awaitPaste(SelectionState::Clock::now() + kSoon), u"hunter2");
    // Nothing of it stays: reads are busy, a later paste fetches again.
    EXPECT_EQ(text(s), std::nullopt);
    EXPECT_FALSE(s.takeFetch());
    s.requestPaste();
    EXPECT_TRUE(s.takeFetch());
    EXPECT_EQ(s.awaitPaste(SelectionState::Clock::now() + std::chrono::milliseconds(20)), std::nullopt)
        << "a paste that times out gets nothing";
    EXPECT_EQ(text(s), std::nullopt);
}

TEST(SelectionStatePaste, SecretFoundByTheReadsFetchGoesToAWaitingPaste) {
    SelectionState s;
    auto g = newOwnerRead(s);
    s.requestPaste();
    EXPECT_TRUE(s.pasteWanted(*g));
    s.secretFetched(*g, SharedText(u"pw"));
    EXPECT_EQ(s.awaitPaste(SelectionState::Clock::now() + kSoon), u"pw");
    EXPECT_EQ(text(s), std::nullopt);
}

TEST(SelectionStatePaste, WaitsForTheFetchOfAPlainText) {
    SelectionState s;
    s.ownerChanged(kForeign, false);
    const auto r = s.requestPaste();
    EXPECT_TRUE(r.wakeReader);
    auto g = s.takeFetch();
    ASSERT_TRUE(g);
    std::thread reader([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        s.fetched(*g, SharedText(u"plain"));
    });
    EXPECT_EQ(s.awaitPaste(SelectionState::Clock::now() + kSoon), u"plain");
    reader.join();
    EXPECT_EQ(text(s), u"plain") << "a plain text is kept as any fetched text";
}

TEST(SelectionStatePaste, SecretFetchThatEndsAfterThePasteGaveUpIsDropped) {
    SelectionState s;
    auto g = newOwnerRead(s);
    s.requestPaste();
    EXPECT_EQ(s.awaitPaste(SelectionState::Clock::now()), std::nullopt);
    EXPECT_FALSE(s.wanted(*g) && s.pasteWanted(*g));
    s.secretFetched(*g, SharedText(u"late"));
    EXPECT_EQ(text(s), std::nullopt);
    EXPECT_FALSE(s.takeFetch()) << "a secret is not fetched again for reads";
}

}  // namespace
}  // namespace stock::x11
