#pragma once

#include <QAbstractListModel>
#include <QListView>
#include <QStyledItemDelegate>
#include <functional>
#include <optional>
#include <string>

#include "core/ports/controls.h"

namespace stock::qt {

// A list's rows as their owner hands them: the model asks for a row's text
// only when a view shows it.
class HistoryModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    void setRows(const ListRows* rows);
    void inserted(std::size_t index);
    void cleared();

private:
    const ListRows* rows_ = nullptr;
    int count_ = 0;  // the rows announced so far
    std::optional<std::size_t> inserting_;
};

class HistoryView : public QListView {
    Q_OBJECT
public:
    explicit HistoryView(QWidget* parent = nullptr);
    HistoryModel& rows() { return model_; }
    void setHorizontalExtent(int pixels);
    void setRows(const ListRows* rows);
    void rowInserted(std::size_t index);
    void rowsCleared();

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
