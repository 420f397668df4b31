// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "ui/image_file_list.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QUrl>
#include <algorithm>

namespace lumatrim {

namespace {

enum Column { kName, kResult, kBefore, kAfter, kSaving, kColumnCount };

constexpr int kMinimumNameWidth = 120;
constexpr int kCellPadding = 14;
constexpr int kRecordRole = Qt::UserRole;

QStringList DroppedPaths(const QMimeData* data) {
    QStringList paths;
    if (!data || !data->hasUrls()) return paths;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) paths << url.toLocalFile();
    return paths;
}

} // namespace

ImageFileList::ImageFileList(QWidget* parent) : QTreeWidget(parent) {
    setColumnCount(kColumnCount);
    setHeaderLabels({"Image File(s)", "Result", "Before", "After", "Saving"});
    // The result columns are as wide as their longest words; the names get the rest.
    const QFontMetrics metrics(font());
    for (const auto& [column, widest] : {std::pair{kResult, "not done"},
                                         {kBefore, "999.9 KiB"},
                                         {kAfter, "999.9 KiB"},
                                         {kSaving, "-100.0%"}}) {
        setColumnWidth(column, metrics.horizontalAdvance(widest) + kCellPadding);
        headerItem()->setTextAlignment(column, column == kResult ? Qt::AlignLeft : Qt::AlignRight);
    }
    header()->setStretchLastSection(false);
    setTextElideMode(Qt::ElideMiddle); // a long path still shows its file's name
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setToolTip(kFileListTip);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
}

void ImageFileList::AddItem(const QString& path) {
    auto* item = new QTreeWidgetItem(QStringList{path});
    for (int column : {kBefore, kAfter, kSaving})
        item->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
    addTopLevelItem(item);
    if (!currentItem()) setCurrentItem(item);
}

int32_t ImageFileList::ItemCount() const {
    return topLevelItemCount();
}

QString ImageFileList::ItemText(int32_t index) const {
    const QTreeWidgetItem* item = topLevelItem(index - 1);
    return item ? item->text(kName) : QString();
}

QStringList ImageFileList::ItemTexts() const {
    QStringList texts;
    for (int32_t index = 1; index <= ItemCount(); ++index)
        texts << ItemText(index);
    return texts;
}

void ImageFileList::ShowOutcome(int32_t index, const OutcomeTexts& outcome) {
    QTreeWidgetItem* item = topLevelItem(index - 1);
    if (!item) return;
    item->setText(kResult, outcome.result);
    item->setText(kBefore, outcome.before);
    item->setText(kAfter, outcome.after);
    item->setText(kSaving, outcome.saving);
    for (int column = kName; column < kColumnCount; ++column)
        item->setToolTip(column, outcome.tip);
}

void ImageFileList::ClearOutcomes() {
    for (int32_t index = 1; index <= ItemCount(); ++index) {
        ShowOutcome(index, {});
        topLevelItem(index - 1)->setData(kName, kRecordRole, QVariant());
    }
}

void ImageFileList::SetRecordNumber(int32_t index, size_t number) {
    if (QTreeWidgetItem* item = topLevelItem(index - 1))
        item->setData(kName, kRecordRole, QVariant::fromValue(qulonglong{number}));
}

std::optional<size_t> ImageFileList::RecordNumber(int32_t index) const {
    const QTreeWidgetItem* item = topLevelItem(index - 1);
    const QVariant number = item ? item->data(kName, kRecordRole) : QVariant();
    if (!number.isValid()) return std::nullopt;
    return static_cast<size_t>(number.toULongLong());
}

int32_t ImageFileList::CurrentIndex() const {
    QTreeWidgetItem* item = currentItem();
    return item ? indexOfTopLevelItem(item) + 1 : 0;
}

// Only a list of local files can be dropped; anything else shows the no-drop pointer.
void ImageFileList::dragEnterEvent(QDragEnterEvent* event) {
    event->setAccepted(!locked_ && !DroppedPaths(event->mimeData()).isEmpty());
}

void ImageFileList::dragMoveEvent(QDragMoveEvent* event) {
    event->setAccepted(!locked_ && !DroppedPaths(event->mimeData()).isEmpty());
}

void ImageFileList::dropEvent(QDropEvent* event) {
    const QStringList paths = locked_ ? QStringList() : DroppedPaths(event->mimeData());
    event->setAccepted(!paths.isEmpty());
    if (!paths.isEmpty()) emit PathsDropped(paths);
}

void ImageFileList::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete) {
        RemoveSelectedItems();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

void ImageFileList::mousePressEvent(QMouseEvent* event) {
    QTreeWidget::mousePressEvent(event);
    isDragging_ = !locked_;
    dragItem_ = isDragging_ ? itemAt(event->position().toPoint()) : nullptr;
    if (dragItem_) viewport()->setCursor(dragPointer_);
}

// While an item is carried the view's own handling, which would select the rows passed over,
// stays out of it.
void ImageFileList::mouseMoveEvent(QMouseEvent* event) {
    if (isDragging_ && dragItem_) {
        ReorderStep(event->position().toPoint());
        return;
    }
    QTreeWidget::mouseMoveEvent(event);
}

void ImageFileList::mouseReleaseEvent(QMouseEvent* event) {
    QTreeWidget::mouseReleaseEvent(event);
    isDragging_ = false;
    dragItem_ = nullptr;
    viewport()->unsetCursor();
}

void ImageFileList::mouseDoubleClickEvent(QMouseEvent* event) {
    QTreeWidget::mouseDoubleClickEvent(event);
    RemoveSelectedItems();
}

void ImageFileList::resizeEvent(QResizeEvent* event) {
    QTreeWidget::resizeEvent(event);
    FitNameColumn();
}

void ImageFileList::RemoveSelectedItems() {
    if (locked_) return;
    for (QTreeWidgetItem* item : selectedItems()) {
        if (item == dragItem_) dragItem_ = nullptr;
        delete item;
    }
}

// Only the rows' contents trade places; the items themselves stay where they are.
void ImageFileList::ReorderStep(const QPoint& at) {
    QTreeWidgetItem* hover = itemAt(at);
    if (!hover || hover == dragItem_) return;
    for (int column = kName; column < kColumnCount; ++column) {
        const QString text = dragItem_->text(column), tip = dragItem_->toolTip(column);
        dragItem_->setText(column, hover->text(column));
        dragItem_->setToolTip(column, hover->toolTip(column));
        hover->setText(column, text);
        hover->setToolTip(column, tip);
    }
    const QVariant record = dragItem_->data(kName, kRecordRole);
    dragItem_->setData(kName, kRecordRole, hover->data(kName, kRecordRole));
    hover->setData(kName, kRecordRole, record);
    setCurrentItem(hover);
    dragItem_ = hover;
    ScrollNeighbourIntoView(hover, at.y());
}

// Within a row of the list's top or bottom edge, the next item that way comes into view.
void ImageFileList::ScrollNeighbourIntoView(QTreeWidgetItem* hover, int y) {
    const int rowHeight = visualItemRect(hover).height();
    QTreeWidgetItem* neighbour = nullptr;
    if (y < rowHeight)
        neighbour = itemAbove(hover);
    else if (y >= viewport()->height() - rowHeight)
        neighbour = itemBelow(hover);
    if (neighbour) scrollToItem(neighbour);
}

// The names take the width the result columns leave, with room kept for a vertical scroll bar
// so that one appearing does not bring a horizontal one.
void ImageFileList::FitNameColumn() {
    int width = contentsRect().width() - verticalScrollBar()->sizeHint().width();
    for (int column = kResult; column < kColumnCount; ++column)
        width -= columnWidth(column);
    setColumnWidth(kName, std::max(kMinimumNameWidth, width));
}

} // namespace lumatrim
