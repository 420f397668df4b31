// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// File names as text for the tool's readers. A name is any bytes but "/" and NUL, so it need
// not be UTF-8: JSON, which must be, gets each byte that is not part of a valid UTF-8 sequence
// as the escape "\udcXX", XX the byte in hex, the convention of Python's "surrogateescape"
// (json.loads, then os.fsencode, gives the exact bytes back; other readers map U+DC80 to
// U+DCFF back to bytes 0x80 to 0xFF). Those code points are lone surrogates, which no valid
// name decodes to, so nothing else is ever written that way.
#pragma once

#include <string>
#include <string_view>

namespace lumatrim {

// `text` as a JSON string, quotes included: '"', '\' and control characters escaped, valid
// UTF-8 as it is, other bytes as "\udcXX".
std::string JsonString(std::string_view text);

// `text` for a terminal: control characters as C escapes ("\n", "\t", "\x1b"), so a name can
// neither break a line of the table or of a message nor move the cursor. Other bytes stay as
// they are: the JSON lines are where a name comes back exactly.
std::string EscapedForTerminal(std::string_view text);

} // namespace lumatrim
