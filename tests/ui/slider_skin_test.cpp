// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "ui/slider_skin.h"

#include <QPalette>
#include <QSlider>
#include <gtest/gtest.h>

namespace lumatrim {
namespace {

// Grey is what the style paints; the skin must cover it, and hooking twice must not stack.
TEST(SliderSkinTest, PaintsTheBackgroundInTheChosenColourOnce) {
    QSlider slider(Qt::Horizontal);
    slider.resize(200, 40);
    QPalette grey = slider.palette();
    grey.setColor(QPalette::Window, Qt::gray);
    slider.setPalette(grey);
    slider.setAutoFillBackground(true);
    SetSkinStyle(&slider, kSkinStyleSolid);
    SetSkinSolidColor(&slider, 0x00FF00); // green: red in the low byte
    HookSkin(&slider);
    HookSkin(&slider);
    EXPECT_EQ(slider.children().size(), 1);
    EXPECT_EQ(slider.grab().toImage().pixelColor(1, 1), QColor(Qt::green));
}

} // namespace
} // namespace lumatrim
