// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "cli/json_text.h"

#include <cstdint>

namespace lumatrim {

namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

std::string HexByte(uint8_t byte) {
    return {kHexDigits[byte >> 4], kHexDigits[byte & 0xF]};
}

// The length of the valid UTF-8 sequence at `at`, or 0: no overlong forms, no surrogates,
// nothing past U+10FFFF, as a strict decoder (Python's) takes it.
size_t Utf8SequenceAt(std::string_view text, size_t at) {
    const auto byte = [&](size_t offset) { return static_cast<uint8_t>(text[at + offset]); };
    const uint8_t lead = byte(0);
    size_t length = 0;
    uint8_t low = 0x80, high = 0xBF; // the range of the second byte
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (text.size() - at < length || byte(1) < low || byte(1) > high) return 0;
    for (size_t offset = 2; offset < length; ++offset)
        if (byte(offset) < 0x80 || byte(offset) > 0xBF) return 0;
    return length;
}

// The escape JSON and C share, where there is one.
const char* ShortEscape(char c) {
    switch (c) {
    case '"':
        return "\\\"";
    case '\\':
        return "\\\\";
    case '\b':
        return "\\b";
    case '\f':
        return "\\f";
    case '\n':
        return "\\n";
    case '\r':
        return "\\r";
    case '\t':
        return "\\t";
    default:
        return nullptr;
    }
}

} // namespace

std::string JsonString(std::string_view text) {
    std::string json = "\"";
    for (size_t at = 0; at < text.size();) {
        const char c = text[at];
        const size_t length = Utf8SequenceAt(text, at);
        if (length == 0) {
            json += "\\udc" + HexByte(static_cast<uint8_t>(c));
        } else if (const char* escape = ShortEscape(c)) {
            json += escape;
        } else if (static_cast<uint8_t>(c) < 0x20) {
            json += "\\u00" + HexByte(static_cast<uint8_t>(c));
        } else {
            json.append(text.substr(at, length));
        }
        at += length == 0 ? 1 : length;
    }
    return json + '"';
}

std::string EscapedForTerminal(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<uint8_t>(c);
        if (byte >= 0x20 && byte != 0x7F)
            escaped += c;
        else if (const char* escape = ShortEscape(c))
            escaped += escape;
        else
            escaped += "\\x" + HexByte(byte);
    }
    return escaped;
}

} // namespace lumatrim
