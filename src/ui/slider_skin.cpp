// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "ui/slider_skin.h"

#include "ui/colour_number.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QPalette>

namespace lumatrim {

namespace {

constexpr uint32_t kSystemColourFlag = 0x80000000u;
constexpr const char* kStyleProperty = "MyStyle";
constexpr const char* kSolidColourProperty = "MySolidColor";
constexpr const char* kHookedProperty = "Hooked";

QPalette::ColorRole SystemColourRole(uint32_t index) {
    switch (index) {
    case 5: // window
        return QPalette::Base;
    case 8: // window text
        return QPalette::Text;
    case 12: // application workspace
        return QPalette::Dark;
    case 15: // button face
        return QPalette::Button;
    default:
        return QPalette::Window;
    }
}

// Fills the background before the widget paints itself on top of it.
class SkinHook : public QObject {
public:
    explicit SkinHook(QWidget* window) : QObject(window), window_(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_ && event->type() == QEvent::Paint &&
            window_->property(kStyleProperty).toInt() == kSkinStyleSolid) {
            QPainter painter(window_);
            painter.fillRect(window_->rect(),
                             ColourOf(window_->property(kSolidColourProperty).toUInt()));
        }
        return false;
    }

private:
    QWidget* window_;
};

} // namespace

uint32_t ResolveSysColor(uint32_t colour) {
    if (!(colour & kSystemColourFlag)) return colour;
    return ColourNumber(
        QApplication::palette().color(SystemColourRole(colour & ~kSystemColourFlag)));
}

void SetSkinStyle(QWidget* window, int32_t style) {
    window->setProperty(kStyleProperty, style);
}

void SetSkinSolidColor(QWidget* window, uint32_t colour) {
    window->setProperty(kSolidColourProperty, ResolveSysColor(colour));
}

void HookSkin(QWidget* window) {
    if (window->property(kHookedProperty).toInt() != 0) return;
    window->setProperty(kHookedProperty, -1);
    window->installEventFilter(new SkinHook(window));
}

} // namespace lumatrim
