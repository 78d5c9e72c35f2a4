// Narrowing the history list by what the user types: the rows shown against
// a plain search over a generated history, and the field as the user works it.
#include "core/history/history_filter.h"

#include <random>

#include "core/text/fold.h"
#include "support/main_window.h"

namespace stock::test {
namespace {

using HistoryFilterTest = MainWindow;

TEST(Fold, IgnoresCaseAndTheWidthOfAsciiAndKatakana) {
    EXPECT_EQ(foldText(u"ＡＢＣ"), foldText(u"abc"));
    EXPECT_EQ(foldText(u"ｶﾀｶﾅ"), foldText(u"カタカナ"));
    EXPECT_EQ(foldText(u"ｶﾞｯﾂﾟ"), foldText(u"ガッツ\u309A"));
    EXPECT_EQ(foldText(u"ﾊﾟﾝ"), foldText(u"パン"));
    EXPECT_EQ(foldText(u"ΣΑΣ"), foldText(u"σας"));
    EXPECT_EQ(foldText(u"\U00010400"), u"\U00010428") << "Deseret, beyond the BMP";
    EXPECT_EQ(foldText(u"a\r\nb\u2029\t\xD800x"), u"a\r\nb\u2029\t\xD800x") << "breaks and a lone surrogate kept";
    // Folded piece by piece, a sound mark still joins the kana before it.
    const std::u16string text = std::u16string(9, u'ｶ') + u"ﾞ";
    Folder folder(text);
    std::u16string out;
    while (folder.next(3, out)) {
    }
    EXPECT_EQ(out, foldText(text));
    EXPECT_EQ(out.back(), u'ガ');
}

// What the user should see: every row whose folded text holds the folded
// query, newest first.
Rows reference(const std::vector<std::u16string>& newestFirst, const std::u16string& query) {
    Rows out;
    const std::u16string q = foldText(query);
    for (const auto& t : newestFirst)
        if (foldText(t).find(q) != std::u16string::npos) out.push_back(rowPreview(t, History::kPreviewUnits));
    return out;
}

std::vector<std::u16string> corpus(std::mt19937& random) {
    const std::u16string pieces[] = {u"a",          u"B", u"ｶ", u"ﾞ", u"カ", u"ガ", u"Ａ", u"ａ", u"\r\n",
                                     u"\U0001F600", u"Σ", u"ς", u"x", u"ー", u"漢", u"\r", u" "};
    std::vector<std::u16string> texts;
    for (int i = 0; i < 300; ++i) {
        std::u16string t;
        const int length = static_cast<int>(random() % 24);
        for (int j = 0; j < length; ++j) t += pieces[random() % std::size(pieces)];
        // A few long ones, searched in slices.
        if (i % 60 == 7) t = std::u16string(HistoryFilter::kFoldedLimit * 3, u'z') + t;
        texts.push_back(t);
    }
    return texts;
}

TEST_F(HistoryFilterTest, ShowsWhatAPlainSearchFindsWhileTheQueryGrowsAndShrinks) {
    std::mt19937 random(7);
    const auto texts = corpus(random);
    for (const auto& t : texts) take(t);
    std::vector<std::u16string> newestFirst;
    for (std::size_t i = 0; i < frm.history().size(); ++i) newestFirst.push_back(frm.history().Text(i).str());
    FakeListBox& list = win().listBox("List1");
    FakeFilterField& field = win().filterField("List1");
    int queries = 0;
    for (int round = 0; round < 40; ++round) {
        const std::u16string& source = texts[random() % texts.size()];
        const std::size_t from = source.empty() ? 0 : random() % source.size();
        const std::u16string word = source.substr(from, 1 + random() % 6);
        std::u16string typed;
        for (char16_t c : word) {
            typed.push_back(c);
            if (typed.size() == 1 && c >= u' ') {
                list.type(typed);
            } else {
                if (!field.isOpen()) win().find();  // a line break cannot open the field
                field.edit(typed);
            }
            fakeUi.runAllSoon();
            ++queries;
            ASSERT_EQ(rows(), reference(newestFirst, typed)) << queries;
        }
        while (typed.size() > 1) {
            typed.pop_back();
            field.edit(typed);
            fakeUi.runAllSoon();
            ++queries;
            ASSERT_EQ(rows(), reference(newestFirst, typed)) << queries;
        }
        field.escape();
        ASSERT_EQ(rows().size(), newestFirst.size());
    }
    EXPECT_GT(queries, 150);
}

TEST_F(HistoryFilterTest, RecallsTheShownRowAndEscKeepsTheCurrentRow) {
    for (const char16_t* t : {u"apple\r\npie", u"banana", u"ＡＰＰＬＥ tart", u"cherry"}) take(t);
    FakeListBox& list = win().listBox("List1");
    FakeFilterField& field = win().filterField("List1");
    list.pick(3);
    list.type(u"a");
    EXPECT_TRUE(field.isOpen());
    field.edit(u"ap");
    EXPECT_EQ(rows(), (Rows{u"ＡＰＰＬＥ tart", u"apple↵pie"}));
    EXPECT_EQ(field.count, u"2 / 4");
    list.pick(1);
    EXPECT_EQ(box().text(), u"apple\r\npie");
    // A new copy that matches shows at the top; one that does not, nowhere.
    take(u"melon");
    take(u"snapple");
    EXPECT_EQ(rows(), (Rows{u"snapple", u"ＡＰＰＬＥ tart", u"apple↵pie"}));
    EXPECT_EQ(list.currentIndex(), 2);
    field.escape();
    EXPECT_FALSE(field.isOpen());
    EXPECT_EQ(rows().size(), 6u);
    EXPECT_EQ(list.currentIndex(), 5) << "the recalled row stays current";
    list.pick(list.currentIndex());
    EXPECT_EQ(box().text(), u"apple\r\npie");
}

TEST_F(HistoryFilterTest, ControlKeysOpenNothingAndEmptyingOrClearingCloses) {
    take(u"one");
    take(u"two");
    FakeListBox& list = win().listBox("List1");
    FakeFilterField& field = win().filterField("List1");
    list.type(u"\t");
    list.type(u"\x1b");
    EXPECT_FALSE(field.isOpen());
    win().find();
    EXPECT_TRUE(field.isOpen());
    EXPECT_EQ(rows().size(), 2u) << "an empty query shows every row";
    field.edit(u"w");
    EXPECT_EQ(rows(), Rows{u"two"});
    field.edit(u"");
    EXPECT_FALSE(field.isOpen());
    EXPECT_EQ(rows(), (Rows{u"two", u"one"}));
    list.type(u"o");
    click("Command1");
    EXPECT_FALSE(field.isOpen());
    EXPECT_EQ(rows(), Rows{});
    take(u"three");
    EXPECT_EQ(rows(), Rows{u"three"});
}

TEST_F(HistoryFilterTest, LongTextsAreSearchedInSlicesAndJoinWhenFound) {
    take(u"short needle");
    const std::u16string big(HistoryFilter::kSliceWork, u'x');
    take(big + u"ＮＥＥＤＬＥ 1");
    take(big + u"ＮＥＥＤＬＥ 2");
    take(u"no match");
    FakeListBox& list = win().listBox("List1");
    list.type(u"n");
    win().filterField("List1").edit(u"needle");
    EXPECT_EQ(rows(), Rows{u"short needle"}) << "the long texts are not searched yet";
    EXPECT_FALSE(fakeUi.soon.empty());
    fakeUi.runAllSoon();
    ASSERT_EQ(rows().size(), 3u);
    EXPECT_EQ(rows()[2], u"short needle");
    list.pick(1);
    EXPECT_EQ(box().text(), big + u"ＮＥＥＤＬＥ 1");
    EXPECT_EQ(win().filterField("List1").count, u"3 / 4");
}

}  // namespace
}  // namespace stock::test
