// Small 32-bit pictures for the palette and dithering tests.
#pragma once

#include "imaging/dib.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <span>

namespace lumatrim::test {

struct Rgb {
    uint8_t r, g, b;
    bool operator==(const Rgb&) const = default;
};

inline void SetPixel(cDIB& dib, int x, int memoryRow, Rgb c) {
    uint8_t* p = dib.lpBits() + memoryRow * dib.BytesPerScanline() + 4 * x;
    p[0] = c.b;
    p[1] = c.g;
    p[2] = c.r;
}

// A 32-bit picture filled with one colour.
inline void MakePicture(cDIB& dib, int width, int height, Rgb fill) {
    ASSERT_TRUE(dib.Create(width, height, 32));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            SetPixel(dib, x, y, fill);
}

// Entry i of a colour table in the blue, green, red, 0 layout.
inline Rgb TableEntry(std::span<const uint8_t> table, int i) {
    return {table[4 * i + 2], table[4 * i + 1], table[4 * i]};
}

inline void PrintTo(const Rgb& c, std::ostream* os) {
    *os << "(" << int{c.r} << ", " << int{c.g} << ", " << int{c.b} << ")";
}

} // namespace lumatrim::test
