// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// JPEG files are decoded and encoded again at the run's quality, where a JPEG's size is won.
#pragma once

#include "app/routes/route.h"

namespace lumatrim {

// The picture goes into the workspace's `Creator`, which keeps it until the next JPEG.
RouteResult ReduceJpeg(const RouteJob& job);

} // namespace lumatrim
