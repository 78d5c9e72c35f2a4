#include "platform/qt/history_list.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include "platform/guard.h"
#include "platform/qt/qt_text.h"
#include "platform/text_map.h"

namespace stock::qt {
namespace {

// Every row as wide as the list's horizontal extent, so that it scrolls
// sideways over that width.
class ExtentDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    int extent = 0;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize s = QStyledItemDelegate::sizeHint(option, index);
        if (extent > s.width()) s.setWidth(extent);
        return s;
    }
};

}  // namespace

int HistoryModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QVariant HistoryModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() < 0 || static_cast<std::size_t>(index.row()) >= rows_.size()) return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return toQ(rowPreview(rows_[static_cast<std::size_t>(index.row())].view(), kPreviewUnits));
    return {};
}

void HistoryModel::insert(std::size_t index, SharedText text) {
    if (index > rows_.size()) index = rows_.size();
    const int row = static_cast<int>(index);
    beginInsertRows({}, row, row);
    rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(index), std::move(text));
    endInsertRows();
}

void HistoryModel::clear() {
    beginResetModel();
    rows_.clear();
    endResetModel();
}

HistoryView::HistoryView(QWidget* parent) : QListView(parent), model_(this) {
    setModel(&model_);
    setItemDelegate(new ExtentDelegate(this));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setTextElideMode(Qt::ElideNone);
    setWordWrap(false);
    // Only the user picks a row: Qt also makes a row current when the list
    // gains the focus or rows move, and none of that recalls anything.
    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        // A click on the row that is current already picks it again.
        if (!changedDuringPress_ && index.isValid() && index == currentIndex()) fire();
        changedDuringPress_ = false;
    });
}

void HistoryView::setHorizontalExtent(int pixels) {
    static_cast<ExtentDelegate*>(itemDelegate())->extent = pixels;
    doItemsLayout();
}

void HistoryView::mousePressEvent(QMouseEvent* event) {
    const QPersistentModelIndex before = currentIndex();
    changedDuringPress_ = false;
    QListView::mousePressEvent(event);
    firedIfMoved(before);
}

void HistoryView::mouseMoveEvent(QMouseEvent* event) {
    const QPersistentModelIndex before = currentIndex();
    QListView::mouseMoveEvent(event);
    if (event->buttons() != Qt::NoButton) firedIfMoved(before);
}

void HistoryView::keyPressEvent(QKeyEvent* event) {
    const QPersistentModelIndex before = currentIndex();
    QListView::keyPressEvent(event);
    firedIfMoved(before);
}

void HistoryView::firedIfMoved(const QPersistentModelIndex& before) {
    const QModelIndex now = currentIndex();
    if (quiet_ || !now.isValid() || now == before) return;
    changedDuringPress_ = true;
    fire();
}

void HistoryView::insertRow(std::size_t index, SharedText text) {
    quiet_ = true;
    model_.insert(index, std::move(text));
    quiet_ = false;
}

void HistoryView::clearRows() {
    quiet_ = true;
    model_.clear();
    quiet_ = false;
}

void HistoryView::fire() { callGuarded(clickedRow); }

}  // namespace stock::qt
