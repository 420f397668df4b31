// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The quality slider's skin: the style draws a slider's background in the button colour, which
// shows as a grey box on the white window. A hooked slider gets its background filled with a
// colour of our choice first. The settings live as properties on the slider itself.
#pragma once

#include <QWidget>
#include <cstdint>

namespace lumatrim {

inline constexpr int32_t kSkinStyleSolid = 0; // the only style: a solid colour

// Colour numbers have red in the low byte. One with the high bit set names a system colour by
// its index in the low bits (5 window, 12 application workspace, 15 button face, ...).
uint32_t ResolveSysColor(uint32_t colour);

void SetSkinStyle(QWidget* window, int32_t style);
void SetSkinSolidColor(QWidget* window, uint32_t colour);
// Hooks the widget's painting once; the hook goes with the widget.
void HookSkin(QWidget* window);

} // namespace lumatrim
