// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "ui/window_command_line.h"

#include <string_view>

namespace lumatrim {

std::optional<int> AnswerWithoutWindow(int argc, const char* const* argv, std::ostream& out) {
    for (int index = 1; index < argc; ++index) {
        const std::string_view argument = argv[index];
        if (argument == "--") break;
        if (argument == "--version") {
            out << "lumatrim " << LUMATRIM_VERSION << '\n';
            return 0;
        }
        if (argument == "--help" || argument == "-h") {
            out << "Usage: lumatrim [FILE...]\n"
                   "Opens the Lumatrim window, which makes web image files smaller in batch.\n"
                   "  --version  print the version and exit\n"
                   "  --help     print this help and exit\n"
                   "The command-line tool is lumatrim-batch; see lumatrim-batch(1).\n";
            return 0;
        }
    }
    return std::nullopt;
}

} // namespace lumatrim
