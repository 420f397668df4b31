// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "jpeg/vector_destination.h"

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

// Called with the whole buffer full: its size doubles.
boolean Empty(j_compress_ptr info) {
    const size_t used = DestinationOf(info).bytes->size();
    Grow(info, used, used * 2);
    return TRUE;
}

void Finish(j_compress_ptr info) {
    VectorDestination& destination = DestinationOf(info);
    destination.bytes->resize(destination.bytes->size() - destination.free_in_buffer);
}

} // namespace

VectorDestination::VectorDestination(std::vector<uint8_t>& target)
    : jpeg_destination_mgr{nullptr, 0, Start, Empty, Finish}, bytes(&target) {}

} // namespace lumatrim
