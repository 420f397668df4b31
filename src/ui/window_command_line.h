// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The questions `lumatrim` answers on its command line without opening a window (or needing a
// display): --version and --help.
#pragma once

#include <optional>
#include <ostream>

namespace lumatrim {

// The exit status when an argument before "--" asked for the version or help (printed to
// `out`); none when the window should open.
std::optional<int> AnswerWithoutWindow(int argc, const char* const* argv, std::ostream& out);

} // namespace lumatrim
