#include "ui/qt/history_list.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>

#include "core/guard/guard.h"
#include "ui/qt/qt_text.h"

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

int HistoryModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : count_; }

QVariant HistoryModel::data(const QModelIndex& index, int role) const {
    if (!rows_ || !index.isValid() || index.row() < 0 || index.row() >= count_) return {};
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole) return {};
    auto row = static_cast<std::size_t>(index.row());
    // While a row that the owner has already inserted is being announced,
    // the rows below it answer as they did before.
    if (inserting_ && row >= *inserting_) ++row;
    return toQ(rows_->shown(row));
}

void HistoryModel::setRows(const ListRows* rows) {
    beginResetModel();
    rows_ = rows;
    count_ = rows ? static_cast<int>(rows->size()) : 0;
    endResetModel();
}

void HistoryModel::inserted(std::size_t index) {
    if (!rows_) return;
    const int row = static_cast<int>(std::min<std::size_t>(index, static_cast<std::size_t>(count_)));
    inserting_ = static_cast<std::size_t>(row);
    beginInsertRows({}, row, row);
    ++count_;
    inserting_.reset();
    endInsertRows();
}

void HistoryModel::appended(std::size_t count) {
    if (!rows_ || count == 0) return;
    beginInsertRows({}, count_, count_ + static_cast<int>(count) - 1);
    count_ += static_cast<int>(count);
    endInsertRows();
}

void HistoryModel::cleared() {
    beginResetModel();
    count_ = rows_ ? static_cast<int>(rows_->size()) : 0;
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
    const QString text = event->text();
    const bool command = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    bool taken = false;
    if (!text.isEmpty() && !command)
        callGuarded("List1 typed", std::function<void()>([&] { taken = typed && typed(text.toStdU16String()); }));
    if (taken) return;
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

void HistoryView::setRows(const ListRows* rows) {
    quiet_ = true;
    model_.setRows(rows);
    quiet_ = false;
}

void HistoryView::rowInserted(std::size_t index) {
    quiet_ = true;
    model_.inserted(index);
    quiet_ = false;
}

void HistoryView::rowsAppended(std::size_t count) {
    quiet_ = true;
    model_.appended(count);
    quiet_ = false;
}

void HistoryView::setCurrentRow(long row) {
    quiet_ = true;
    const QModelIndex index = model_.index(static_cast<int>(row), 0);
    setCurrentIndex(index);
    if (index.isValid()) scrollTo(index);
    quiet_ = false;
}

void HistoryView::rowsCleared() {
    quiet_ = true;
    model_.cleared();
    quiet_ = false;
}

void HistoryView::fire() { callGuarded("list click", clickedRow); }

FilterBar::FilterBar(HistoryView* list, int countWidth, QWidget* parent)
    : QFrame(parent), list_(list), edit_(new QLineEdit(this)), count_(new QLabel(this)), countWidth_(countWidth) {
    setObjectName(QStringLiteral("List1Filter"));
    setAutoFillBackground(true);
    edit_->setObjectName(QStringLiteral("List1FilterText"));
    edit_->setAccessibleName(QStringLiteral("Filter"));
    edit_->installEventFilter(this);
    count_->setObjectName(QStringLiteral("List1FilterCount"));
    count_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    count_->setAutoFillBackground(true);
    connect(edit_, &QLineEdit::textEdited, this, [this] { callGuarded("filter edited", edited); });
    hide();
}

void FilterBar::open(const QString& text) {
    if (edit_->text() != text) edit_->setText(text);
    show();
    raise();
    edit_->setFocus(Qt::ShortcutFocusReason);
    edit_->end(false);
}

void FilterBar::close() {
    const bool hadFocus = edit_->hasFocus();
    hide();
    if (list_ && (hadFocus || !QApplication::focusWidget())) list_->setFocus(Qt::OtherFocusReason);
}

bool FilterBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched != edit_ || event->type() != QEvent::KeyPress) return QFrame::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
        case Qt::Key_Escape:
            callGuarded("filter escape", escape);
            return true;
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            if (list_) QApplication::sendEvent(list_, key);
            return true;
        default:
            return false;
    }
}

void FilterBar::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    const int countWidth = std::min(countWidth_, width() / 2);
    edit_->setGeometry(0, 0, width() - countWidth, height());
    count_->setGeometry(width() - countWidth, 0, countWidth, height());
}

}  // namespace stock::qt
