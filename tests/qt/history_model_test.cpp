// The history's model under Qt's own model checker, which verifies every
// signal and index against the model's answers as rows come and go.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include "platform/qt/history_list.h"

namespace stock::qt {
namespace {

TEST(HistoryModel, KeepsQtsModelRulesAsRowsComeAndGo) {
    HistoryModel model;
    // Any broken rule ends the test program with the checker's message.
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);

    model.insert(0, u"first");
    model.insert(0, u"second");         // the newest on top
    model.insert(2, u"third");          // at the end
    model.insert(99, u"past the end");  // kept at the end
    model.insert(1, u"a\r\nb");         // in the middle
    ASSERT_EQ(model.rowCount(), 5);
    EXPECT_EQ(inserted.count(), 5);
    EXPECT_EQ(inserted.at(3).at(1).toInt(), 3) << "a row past the end is inserted at the end";
    EXPECT_EQ(model.at(0).view(), u"second");
    EXPECT_EQ(model.at(1).view(), u"a\r\nb") << "rows keep their text exactly";
    EXPECT_EQ(model.at(4).view(), u"past the end");
    EXPECT_EQ(model.index(1, 0).data().toString(), QString::fromUtf16(u"a\u21B5b"));
    EXPECT_EQ(model.index(1, 0).data(Qt::AccessibleTextRole), model.index(1, 0).data());
    EXPECT_FALSE(model.index(1, 0).data(Qt::DecorationRole).isValid());
    EXPECT_EQ(model.rowCount(model.index(0, 0)), 0) << "a list: rows have no children";

    model.clear();
    EXPECT_EQ(model.rowCount(), 0);
    model.insert(0, std::u16string(5000, u'x'));
    EXPECT_EQ(model.index(0, 0).data().toString().size(),
              static_cast<qsizetype>(HistoryModel::kPreviewUnits + 1));  // the cut mark
}

}  // namespace
}  // namespace stock::qt
