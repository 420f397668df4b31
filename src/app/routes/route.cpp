// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "app/routes/route.h"

namespace lumatrim {

std::optional<uintmax_t> Candidate::Size() const {
    return workFile ? workFile->Size() : std::optional<uintmax_t>(bytes.size());
}

} // namespace lumatrim
