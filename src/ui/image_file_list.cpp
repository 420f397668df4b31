// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "ui/image_file_list.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>

namespace lumatrim {

namespace {

constexpr int kColumnWidth = 353;

QStringList DroppedPaths(const QMimeData* data) {
    QStringList paths;
    if (!data || !data->hasUrls()) return paths;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) paths << url.toLocalFile();
    return paths;
}

} // namespace

ImageFileList::ImageFileList(QWidget* parent) : QTreeWidget(parent) {
    setColumnCount(1);
    setHeaderLabels({"Image File(s)"});
    setColumnWidth(0, kColumnWidth);
    header()->setStretchLastSection(false);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setToolTip(kFileListTip);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
}

void ImageFileList::AddItem(const QString& path) {
    addTopLevelItem(new QTreeWidgetItem(QStringList{path}));
}

int32_t ImageFileList::ItemCount() const {
    return topLevelItemCount();
}

QString ImageFileList::ItemText(int32_t index) const {
    const QTreeWidgetItem* item = topLevelItem(index - 1);
    return item ? item->text(0) : QString();
}

QStringList ImageFileList::ItemTexts() const {
    QStringList texts;
    for (int32_t index = 1; index <= ItemCount(); ++index)
        texts << ItemText(index);
    return texts;
}

// Only a list of local files can be dropped; anything else shows the no-drop pointer.
void ImageFileList::dragEnterEvent(QDragEnterEvent* event) {
    event->setAccepted(!DroppedPaths(event->mimeData()).isEmpty());
}

void ImageFileList::dragMoveEvent(QDragMoveEvent* event) {
    event->setAccepted(!DroppedPaths(event->mimeData()).isEmpty());
}

void ImageFileList::dropEvent(QDropEvent* event) {
    const QStringList paths = DroppedPaths(event->mimeData());
    for (const QString& path : paths)
        AddItem(path);
    event->setAccepted(!paths.isEmpty());
}

void ImageFileList::mousePressEvent(QMouseEvent* event) {
    QTreeWidget::mousePressEvent(event);
    isDragging_ = true;
    dragItem_ = itemAt(event->position().toPoint());
    if (dragItem_) viewport()->setCursor(dragPointer_);
}

void ImageFileList::mouseMoveEvent(QMouseEvent* event) {
    QTreeWidget::mouseMoveEvent(event);
    if (isDragging_) ReorderStep(event->position().toPoint());
}

void ImageFileList::mouseReleaseEvent(QMouseEvent* event) {
    QTreeWidget::mouseReleaseEvent(event);
    isDragging_ = false;
    viewport()->unsetCursor();
}

void ImageFileList::mouseDoubleClickEvent(QMouseEvent* event) {
    QTreeWidget::mouseDoubleClickEvent(event);
    RemoveSelectedItem();
}

void ImageFileList::RemoveSelectedItem() {
    const QList<QTreeWidgetItem*> selected = selectedItems();
    if (selected.isEmpty()) return;
    if (selected.front() == dragItem_) dragItem_ = nullptr;
    delete selected.front();
}

// Only the texts trade places; the items themselves stay where they are.
void ImageFileList::ReorderStep(const QPoint& at) {
    QTreeWidgetItem* hover = itemAt(at);
    if (!hover || !dragItem_ || hover->text(0) == dragItem_->text(0)) return;
    const QString carried = dragItem_->text(0);
    dragItem_->setText(0, hover->text(0));
    hover->setText(0, carried);
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

} // namespace lumatrim
