// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// How much time the routes that trade time for bytes may spend on a file. The default gives the
// smallest files; Fast keeps a batch quick where a few more bytes do not matter.
#pragma once

namespace lumatrim {

enum class Effort { Fast, Default };

} // namespace lumatrim
