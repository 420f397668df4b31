// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "jpeg/vector_destination.h"

#include <algorithm>
#include <jerror.h>
#include <new>

namespace lumatrim {

namespace {

constexpr size_t kFirstChunk = size_t{1} << 16;

VectorDestination& DestinationOf(j_compress_ptr info) {
    return *static_cast<VectorDestination*>(info->dest);
}

// Makes room for `size` bytes in all, the new part starting at `used`; out of memory becomes
// libjpeg's own error, raised outside the handler so the jump leaves no exception behind.
void Grow(j_compress_ptr info, size_t used, size_t size) {
    VectorDestination& destination = DestinationOf(info);
    bool grown = true;
    try {
        destination.bytes->resize(size);
    } catch (const std::bad_alloc&) {
        grown = false;
    }
    if (!grown) ERREXIT(info, JERR_OUT_OF_MEMORY);
    destination.next_output_byte = destination.bytes->data() + used;
    destination.free_in_buffer = size - used;
}

void Start(j_compress_ptr info) {
    Grow(info, 0, kFirstChunk);
}

// Called with the whole buffer full: its size doubles, up to one byte past the limit, so a
// second call there means the output is over it.
boolean Empty(j_compress_ptr info) {
    VectorDestination& destination = DestinationOf(info);
    const size_t used = destination.bytes->size();
    if (used > destination.limit) {
        destination.overLimit = true;
        ERREXIT(info, JERR_BUFFER_SIZE);
    }
    Grow(info, used, std::min(used * 2, destination.limit) + 1);
    return TRUE;
}

void Finish(j_compress_ptr info) {
    VectorDestination& destination = DestinationOf(info);
    destination.bytes->resize(destination.bytes->size() - destination.free_in_buffer);
    if (destination.bytes->size() > destination.limit) {
        destination.overLimit = true;
        ERREXIT(info, JERR_BUFFER_SIZE);
    }
}

} // namespace

VectorDestination::VectorDestination(std::vector<uint8_t>& target, size_t sizeLimit)
    : jpeg_destination_mgr{nullptr, 0, Start, Empty, Finish}, bytes(&target), limit(sizeLimit) {}

} // namespace lumatrim
