// The history's model under Qt's own model checker, which verifies every
// signal and index against the model's answers as rows come and go.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <string>
#include <vector>

#include "platform/qt/history_list.h"

namespace stock::qt {
namespace {

// Rows as a core list hands them over: inserted first, then announced.
struct Rows final : ListRows {
    std::vector<std::u16string> rows;
    std::size_t size() const override { return rows.size(); }
    std::u16string shown(std::size_t i) const override { return rows.at(i); }
    void insert(HistoryModel& model, std::size_t at, std::u16string text) {
        rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(at), std::move(text));
        model.inserted(at);
    }
};

TEST(HistoryModel, KeepsQtsModelRulesAsRowsComeAndGo) {
    HistoryModel model;
    // Any broken rule ends the test program with the checker's message.
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    Rows rows;
    rows.rows = {u"kept"};
    model.setRows(&rows);
    ASSERT_EQ(model.rowCount(), 1);

    rows.insert(model, 0, u"first");
    rows.insert(model, 0, u"second");    // the newest on top
    rows.insert(model, 3, u"last");      // at the end
    rows.insert(model, 1, u"a\u21B5b");  // in the middle
    ASSERT_EQ(model.rowCount(), 5);
    EXPECT_EQ(inserted.count(), 4);
    EXPECT_EQ(inserted.at(2).at(1).toInt(), 3);
    EXPECT_EQ(model.index(0, 0).data().toString(), QStringLiteral("second"));
    EXPECT_EQ(model.index(1, 0).data().toString(), QString::fromUtf16(u"a\u21B5b"));
    EXPECT_EQ(model.index(4, 0).data().toString(), QStringLiteral("last"));
    EXPECT_EQ(model.index(1, 0).data(Qt::AccessibleTextRole), model.index(1, 0).data());
    EXPECT_FALSE(model.index(1, 0).data(Qt::DecorationRole).isValid());
    EXPECT_EQ(model.rowCount(model.index(0, 0)), 0) << "a list: rows have no children";

    rows.rows.clear();
    model.cleared();
    EXPECT_EQ(model.rowCount(), 0);
    rows.insert(model, 0, u"again");
    EXPECT_EQ(model.rowCount(), 1);
    model.setRows(nullptr);
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_FALSE(model.index(0, 0).data().isValid());
}

}  // namespace
}  // namespace stock::qt
