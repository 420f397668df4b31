// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The progressive scan script with the fewest bytes among a few candidates.
//
// With optimized Huffman tables a progressive file carries its own tables before each scan, so
// every scan's bytes (tables, header, entropy-coded data) depend only on the scan itself. The
// script splits into independent choices, one for each component's AC terms (spectral bands,
// successive approximation), with the DC terms of all components in one first scan. A few
// full encodes, the i-th using each choice's i-th plan, measure every plan's bytes; the script
// of the best plan of each choice is then written. The pixels are the same whatever the
// script.
#pragma once

#include "jpegenc/coefficient_writer.h"

#include <cstdint>
#include <span>
#include <stop_token>
#include <vector>

namespace lumatrim {

// libjpeg's standard progressive script (what jpeg_simple_progression writes): successive
// approximation for DC and AC, luma in two bands.
std::vector<Scan> StandardScript(int components);

// The smallest file among the candidate scripts and the one combining their best plans (for a
// large picture, the best plans on a sample of its rows). Empty if libjpeg refused, or if a stop
// was requested before the last write.
std::vector<uint8_t> WriteWithBestScript(const QuantizedPicture& picture,
                                         const std::stop_token& stop = {});

// Where each scan's bytes end in a JPEG file written by libjpeg: offsets just past the
// entropy-coded data of each scan, in file order. The first scan's bytes include the headers.
std::vector<size_t> ScanEnds(std::span<const uint8_t> file);

} // namespace lumatrim
