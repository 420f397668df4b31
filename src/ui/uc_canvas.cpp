// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "ui/uc_canvas.h"

#include "imaging/errors.h"
#include "ui/colour_number.h"

#include <QMouseEvent>
#include <QPainter>

namespace lumatrim {

namespace {

int16_t ButtonNumber(Qt::MouseButtons buttons) {
    return static_cast<int16_t>((buttons & Qt::LeftButton ? 1 : 0) |
                                (buttons & Qt::RightButton ? 2 : 0) |
                                (buttons & Qt::MiddleButton ? 4 : 0));
}

int16_t ShiftNumber(Qt::KeyboardModifiers modifiers) {
    return static_cast<int16_t>((modifiers & Qt::ShiftModifier ? 1 : 0) |
                                (modifiers & Qt::ControlModifier ? 2 : 0) |
                                (modifiers & Qt::AltModifier ? 4 : 0));
}

} // namespace

ucCanvas::ucCanvas(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ucCanvas::SetDIB(std::shared_ptr<cDIB> New_DIB) {
    dib_ = New_DIB ? std::move(New_DIB) : std::make_shared<cDIB>();
}

void ucCanvas::Repaint() {
    repaint();
}

void ucCanvas::Resize() {
    layout_ = LayOutCanvas(View(), previous_);
    previous_ = layout_.scroll;
    UpdatePointer();
}

void ucCanvas::GetScrollPos(int32_t& x, int32_t& y) const {
    x = layout_.scroll.posX;
    y = layout_.scroll.posY;
}

void ucCanvas::SetScrollPos(int32_t x, int32_t y) {
    layout_.scroll.posX = x;
    layout_.scroll.posY = y;
}

std::optional<QCursor> ucCanvas::UserIcon() const {
    if (!testAttribute(Qt::WA_SetCursor)) return std::nullopt;
    return cursor();
}

void ucCanvas::SetUserIcon(std::optional<QCursor> New_MouseIcon) {
    userIcon_ = std::move(New_MouseIcon);
    UpdatePointer();
}

void ucCanvas::SetWorkMode(int32_t New_WorkMode) {
    workMode_ = New_WorkMode;
    UpdatePointer();
}

CanvasView ucCanvas::View() const {
    CanvasView view{width(), height(), dib_->Width(), dib_->Height(), zoom_, fitMode_, {}};
    if (!dib_->hDIB()) view.pictureWidth = view.pictureHeight = 0;
    CanvasRect& fit = view.fitted;
    dib_->GetBestFitInfo(width(), height(), fit.x, fit.y, fit.width, fit.height);
    return view;
}

bool ucCanvas::CanPan() const {
    return workMode_ == 0 && !fitMode_ && (layout_.scroll.maxX != 0 || layout_.scroll.maxY != 0);
}

// In panning mode the hand pointers appear from the first press on a scrollable picture on.
void ucCanvas::UpdatePointer() {
    unsetCursor();
    if (workMode_ != 0 && userIcon_) setCursor(*userIcon_);
}

// The picture is stretched onto a client-sized surface, which is then shown as it is.
QImage ucCanvas::Render() const {
    cDIB client;
    if (!client.Create(width(), height(), 32)) return {};
    client.Cls(ColourNumber(palette().color(QPalette::Dark)));
    const CanvasView view = View();
    if (view.HasPicture()) {
        const PaintSpan across = HorizontalPaintSpan(view, layout_);
        const PaintSpan down = VerticalPaintSpan(view, layout_);
        dib_->Stretch(client.hDIBDC(), across.target, down.target, across.targetLength,
                      down.targetLength, across.source, down.source, across.sourceLength,
                      down.sourceLength, SRCCOPY);
    }
    // Surface rows are stored bottom-up.
    return QImage(client.lpBits(), client.Width(), client.Height(), client.BytesPerScanline(),
                  QImage::Format_RGB32)
        .mirrored();
}

void ucCanvas::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    try {
        painter.drawImage(0, 0, Render());
    } catch (const OverflowError&) {
        painter.fillRect(rect(), palette().color(QPalette::Dark));
    }
}

void ucCanvas::resizeEvent(QResizeEvent*) {
    try {
        Resize();
    } catch (const OverflowError&) {
        layout_ = {}; // a picture too large to lay out is not shown
        previous_ = {};
    }
    update();
    emit Resized();
}

void ucCanvas::mousePressEvent(QMouseEvent* event) {
    panning_ = event->button() == Qt::LeftButton;
    anchor_ = event->position().toPoint();
    if (panning_ && CanPan()) setCursor(Qt::ClosedHandCursor);
    Emit(&ucCanvas::MouseDown, event, event->button());
}

void ucCanvas::mouseMoveEvent(QMouseEvent* event) {
    const QPoint mouse = event->position().toPoint();
    if (panning_ && workMode_ == 0) {
        ScrollState& scroll = layout_.scroll;
        scroll.posX = PannedPosition(scroll.posX, anchor_.x(), mouse.x(), scroll.maxX);
        scroll.posY = PannedPosition(scroll.posY, anchor_.y(), mouse.y(), scroll.maxY);
        anchor_ = mouse;
        if (scroll.posX != previous_.posX || scroll.posY != previous_.posY) {
            Repaint();
            emit Scroll();
        }
        previous_.posX = scroll.posX;
        previous_.posY = scroll.posY;
    }
    Emit(&ucCanvas::MouseMove, event, event->buttons());
}

void ucCanvas::mouseReleaseEvent(QMouseEvent* event) {
    panning_ = false;
    if (CanPan()) setCursor(Qt::OpenHandCursor);
    Emit(&ucCanvas::MouseUp, event, event->button());
}

void ucCanvas::Emit(void (ucCanvas::*signal)(int16_t, int16_t, int32_t, int32_t),
                    QMouseEvent* event, Qt::MouseButtons buttons) {
    const CanvasView view = View();
    const QPoint at = event->position().toPoint();
    emit(this->*signal)(ButtonNumber(buttons), ShiftNumber(event->modifiers()),
                        PictureX(view, layout_, at.x()), PictureY(view, layout_, at.y()));
}

} // namespace lumatrim
