// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// ucCanvas: a view of one surface, whole (fit mode) or at an integer zoom, centred when smaller
// than the control and panned by dragging with the left button when larger. Mouse events report
// the picture pixel under the pointer. Callers change `DIB`, `Zoom` or `FitMode`, then call
// Resize() and Repaint().
#pragma once

#include "imaging/dib.h"
#include "ui/canvas_geometry.h"

#include <QCursor>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>

namespace lumatrim {

class ucCanvas : public QWidget {
    Q_OBJECT

public:
    explicit ucCanvas(QWidget* parent = nullptr);

    // The surface shown; never null. Setting none gives the control a new empty surface.
    const std::shared_ptr<cDIB>& DIB() const { return dib_; }
    void SetDIB(std::shared_ptr<cDIB> New_DIB);

    void Repaint();
    void Resize(); // throws OverflowError when the zoomed picture's size exceeds 32 bits
    void GetScrollPos(int32_t& x, int32_t& y) const;
    void SetScrollPos(int32_t x, int32_t y); // as given: no clamping, no painting

    bool FitMode() const { return fitMode_; }
    void SetFitMode(bool New_FitMode) { fitMode_ = New_FitMode; }
    std::optional<QCursor> UserIcon() const;
    void SetUserIcon(std::optional<QCursor> New_MouseIcon);
    int32_t WorkMode() const { return workMode_; }
    void SetWorkMode(int32_t New_WorkMode);
    int32_t Zoom() const { return zoom_; }
    void SetZoom(int32_t New_Zoom) { zoom_ = New_Zoom < 1 ? 1 : New_Zoom; }

    const CanvasLayout& Layout() const { return layout_; }

signals:
    // Button and Shift as the desktop numbers them (left 1, right 2, middle 4; Shift 1,
    // Ctrl 2, Alt 4); X and Y in picture pixels, 0 without a picture.
    void MouseDown(int16_t Button, int16_t Shift, int32_t X, int32_t Y);
    void MouseMove(int16_t Button, int16_t Shift, int32_t X, int32_t Y);
    void MouseUp(int16_t Button, int16_t Shift, int32_t X, int32_t Y);
    void Scroll();
    void Resized();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    CanvasView View() const;
    bool CanPan() const;
    void UpdatePointer();
    QImage Render() const;
    void Emit(void (ucCanvas::*signal)(int16_t, int16_t, int32_t, int32_t), QMouseEvent* event,
              Qt::MouseButtons buttons);

    std::shared_ptr<cDIB> dib_ = std::make_shared<cDIB>();
    int32_t zoom_ = 1;
    int32_t workMode_ = 0;
    bool fitMode_ = false;
    std::optional<QCursor> userIcon_;
    CanvasLayout layout_;
    ScrollState previous_; // at the last layout or drag
    bool panning_ = false;
    QPoint anchor_;
};

} // namespace lumatrim
