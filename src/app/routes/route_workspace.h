// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The objects a batch run's routes work with, kept between items. A run owns one workspace; the
// window lends its own so its preview canvases show the last BMP's surfaces, and a parallel run
// gives each worker its own. The JPEG route keeps nothing between items.
#pragma once

#include "gif/gif.h"
#include "imaging/dib.h"

#include <memory>

namespace lumatrim {

struct RouteWorkspace {
    std::unique_ptr<cGIF> gif; // created at the run's first GIF item, released when it ends
    // The BMP route's 32-bit source and 8-bit result; they outlive the run.
    std::shared_ptr<cDIB> bmpSource = std::make_shared<cDIB>();
    std::shared_ptr<cDIB> bmpTarget = std::make_shared<cDIB>();
};

} // namespace lumatrim
