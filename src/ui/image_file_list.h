// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The batch's file list: full paths in processing order, each with the outcome of the last run
// in the columns after it. The first file added becomes the current row, which the preview shows.
// Files come in by drops from the desktop (or from the window's commands); a double-click or Delete
// removes the selected items, and dragging with a button held carries an item along past its
// neighbours. While a run goes on the list is locked.
#pragma once

#include "ui/outcome_text.h"

#include <QCursor>
#include <QString>
#include <QStringList>
#include <QTreeWidget>
#include <cstdint>
#include <optional>

namespace lumatrim {

inline constexpr const char* kFileListTip = "Drag and drop files here. Double-click item to "
                                            "remove it. Move bar to right and out of window to "
                                            "reveal full names.";

class ImageFileList : public QTreeWidget {
    Q_OBJECT

public:
    explicit ImageFileList(QWidget* parent = nullptr);

    void AddItem(const QString& path);
    int32_t ItemCount() const;
    QString ItemText(int32_t index) const; // 1-based; empty past the end
    QStringList ItemTexts() const;

    void ShowOutcome(int32_t index, const OutcomeTexts& outcome); // 1-based
    void ClearOutcomes();
    // Which of the last run's records an item's outcome is; it moves with the item's row.
    void SetRecordNumber(int32_t index, size_t number);
    std::optional<size_t> RecordNumber(int32_t index) const;
    int32_t CurrentIndex() const; // 1-based; 0 for none
    // A locked list takes no drops and lets no item be removed or moved.
    void SetLocked(bool locked) { locked_ = locked; }

    // Shown while an item is held for reordering.
    void SetDragPointer(const QCursor& pointer) { dragPointer_ = pointer; }

signals:
    // Local files and folders dropped on the list, for the window to add.
    void PathsDropped(const QStringList& paths);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void RemoveSelectedItems();
    void ReorderStep(const QPoint& at);
    void ScrollNeighbourIntoView(QTreeWidgetItem* hover, int y);
    void FitNameColumn();

    QCursor dragPointer_{Qt::DragMoveCursor};
    bool isDragging_ = false;
    bool locked_ = false;
    QTreeWidgetItem* dragItem_ = nullptr; // the row being carried along
};

} // namespace lumatrim
