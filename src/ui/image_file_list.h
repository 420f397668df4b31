// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The batch's file list: one column of full paths, in processing order. Files come in by
// drops from the desktop (or from the window's commands), a double-click removes the selected
// item, and dragging with a button held carries an item's text along past its neighbours.
#pragma once

#include <QCursor>
#include <QString>
#include <QStringList>
#include <QTreeWidget>
#include <cstdint>

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

    // Shown while an item is held for reordering.
    void SetDragPointer(const QCursor& pointer) { dragPointer_ = pointer; }

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void RemoveSelectedItem();
    void ReorderStep(const QPoint& at);
    void ScrollNeighbourIntoView(QTreeWidgetItem* hover, int y);

    QCursor dragPointer_{Qt::DragMoveCursor};
    bool isDragging_ = false;
    QTreeWidgetItem* dragItem_ = nullptr; // whose text is being carried along
};

} // namespace lumatrim
