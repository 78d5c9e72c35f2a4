#include <gtest/gtest.h>

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

// A state whose clipboard a foreign owner filled with `t`.
void fetchFrom(SelectionState& s, const std::u16string& t) {
    s.ownerChanged(kForeign, false);
    auto g = s.takeFetch();
    ASSERT_TRUE(g);
    s.fetched(*g, t);
}

TEST(SelectionStateFetching, IsBusyUntilTheFirstFetchEnds) {
    SelectionState s;
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
    s.ownerChanged(kForeign, false);
    auto g1 = s.takeFetch();
    ASSERT_TRUE(g1);
    EXPECT_EQ(text(s), std::nullopt) << "the old text is gone with its owner";
    s.ownerChanged(kForeign + 1, false);  // changed again before the fetch ended
    EXPECT_FALSE(s.wanted(*g1));
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

TEST(SelectionStateFailures, FailedFetchIsBusyAndRetriedOncePerRead) {
    SelectionState s;
    s.ownerChanged(kForeign, false);
    auto g = s.takeFetch();
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
    s.ownerChanged(kForeign, false);
    s.secretFound(*s.takeFetch());
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
    s.ownerChanged(kForeign, false);
    auto g = s.takeFetch();
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
