#pragma once

#include <QAbstractListModel>
#include <QListView>
#include <QStyledItemDelegate>
#include <deque>
#include <functional>
#include <string>

#include "platform/shared_text.h"

namespace stock::qt {

// The rows of a list, kept exactly as inserted; the list shows each on one
// line with a mark for every line break.
class HistoryModel : public QAbstractListModel {
    Q_OBJECT
public:
    static constexpr std::size_t kPreviewUnits = 1024;

    using QAbstractListModel::QAbstractListModel;
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    void insert(std::size_t index, SharedText text);
    void clear();
    std::size_t size() const { return rows_.size(); }
    const SharedText& at(std::size_t i) const { return rows_.at(i); }

private:
    std::deque<SharedText> rows_;
};

class HistoryView : public QListView {
    Q_OBJECT
public:
    explicit HistoryView(QWidget* parent = nullptr);
    HistoryModel& rows() { return model_; }
    void setHorizontalExtent(int pixels);
    void insertRow(std::size_t index, SharedText text);
    void clearRows();

    std::function<void()> clickedRow;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void firedIfMoved(const QPersistentModelIndex& before);
    void fire();

    HistoryModel model_;
    bool changedDuringPress_ = false;
    bool quiet_ = false;  // rows moving under the current row pick nothing
};

}  // namespace stock::qt
