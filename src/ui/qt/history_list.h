#pragma once

#include <QAbstractListModel>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
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
    void appended(std::size_t count);
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
    void rowsAppended(std::size_t count);
    void rowsCleared();
    // Makes a row current without picking it.
    void setCurrentRow(long row);

    std::function<void()> clickedRow;
    // Text typed while the list has the keyboard; what it takes goes nowhere
    // else (no jump to a row that starts with it).
    std::function<bool(const std::u16string&)> typed;

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

// A one-line field over a list's bottom edge, with the count of the rows it
// lets through at its right end. The keys that move through a list move
// through the list under it.
class FilterBar : public QFrame {
    Q_OBJECT
public:
    FilterBar(HistoryView* list, int countWidth, QWidget* parent);
    void open(const QString& text);
    void close();
    QLineEdit* edit() const { return edit_; }
    QLabel* count() const { return count_; }

    std::function<void()> edited, escape;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QPointer<HistoryView> list_;
    QLineEdit* edit_;
    QLabel* count_;
    int countWidth_;
};

}  // namespace stock::qt
