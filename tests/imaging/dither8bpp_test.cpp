#include "colour_pictures.h"
#include "imaging/dither8bpp.h"
#include "imaging/errors.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace lumatrim;
using namespace lumatrim::test;

namespace {

Rgb OutputColour(const cDIB& target, int x, int memoryRow) {
    return TableEntry(target.ColorTable(),
                      target.lpBits()[memoryRow * target.BytesPerScanline() + x]);
}

bool TableHolds(const cDIB& target, Rgb colour) {
    for (int i = 0; i < 256; ++i)
        if (TableEntry(target.ColorTable(), i) == colour) return true;
    return false;
}

void Dither(const cDIB& source, int method, cDIB& target) {
    mDither8bpp dither;
    dither.SetDitherMethod(method);
    EXPECT_TRUE(dither.DitherTo8bpp(source, target));
}

} // namespace

// A grey between two grid levels takes the upper one where the threshold is low. The pattern
// is anchored at the first memory row (the bottom picture row) and the first column.
TEST(Dither8bpp, PatternPhaseStartsAtTheBottomLeft) {
    constexpr bool kQuarter[4][4] = {{1, 0, 1, 0}, {0, 0, 0, 0}, {1, 0, 1, 0}, {0, 0, 0, 0}};
    constexpr bool kChecker[4][4] = {{1, 0, 1, 0}, {0, 1, 0, 1}, {1, 0, 1, 0}, {0, 1, 0, 1}};
    struct Case {
        int method;
        uint8_t grey, low, high;
        const bool (*upper)[4];
    };
    for (const Case c : {Case{1, 124, 119, 136, kQuarter}, // thresholds 1 to 4 go up
                         Case{1, 128, 119, 136, kChecker}, // 1 to 8
                         Case{0, 115, 102, 153, kQuarter}}) {
        // 5 x 6: neither size is a multiple of 4. The grid greys themselves give the optimal
        // method its palette entries; they sit in the last two pixels, which are not checked.
        cDIB source;
        MakePicture(source, 5, 6, {c.grey, c.grey, c.grey});
        SetPixel(source, 3, 5, {c.low, c.low, c.low});
        SetPixel(source, 4, 5, {c.high, c.high, c.high});
        cDIB target;
        Dither(source, c.method, target);
        ASSERT_EQ(target.BPP(), 8);
        for (int row = 0; row < 6; ++row)
            for (int x = 0; x < (row == 5 ? 3 : 5); ++x) {
                const uint8_t level = c.upper[row % 4][x % 4] ? c.high : c.low;
                EXPECT_EQ(OutputColour(target, x, row), (Rgb{level, level, level}))
                    << "method " << c.method << " grey " << int{c.grey} << " at " << x << ","
                    << row;
            }
    }
}

TEST(Dither8bpp, PureColoursAreNotDitheredAndPaddingStaysZero) {
    const std::vector<Rgb> colours = {{0, 0, 0}, {255, 255, 255}, {255, 0, 0}, {0, 255, 255}};
    for (int method : {0, 1}) {
        cDIB source;
        MakePicture(source, 5, 8, {0, 0, 0});
        for (int row = 0; row < 8; ++row)
            for (int x = 0; x < 5; ++x)
                SetPixel(source, x, row, colours[(x + row) % colours.size()]);
        cDIB target;
        Dither(source, method, target);
        ASSERT_EQ(target.BytesPerScanline(), 8);
        for (int row = 0; row < 8; ++row) {
            for (int x = 0; x < 5; ++x)
                EXPECT_EQ(OutputColour(target, x, row), colours[(x + row) % colours.size()])
                    << "method " << method << " at " << x << "," << row;
            const uint8_t* padding = target.lpBits() + row * 8 + 5;
            EXPECT_EQ(padding[0] | padding[1] | padding[2], 0) << "method " << method;
        }
    }
}

// The palette comes from the picture fitted into 150 x 150 by nearest-pixel sampling: one
// marked pixel shows whether the thumbnail kept it.
TEST(Dither8bpp, PaletteComesFromA150By150Thumbnail) {
    struct Case {
        int width, height, x, y; // y = 0 is the top row
        bool kept;
    };
    for (const Case c : {Case{150, 150, 149, 149, true}, // used as it is
                         Case{151, 151, 150, 0, false},  // the last column is dropped
                         Case{300, 150, 2, 2, true},     // 150 x 75: every second pixel
                         Case{300, 150, 1, 0, false},    // odd columns are dropped
                         Case{300, 150, 2, 1, false},    // so are odd rows: the aspect is kept
                         Case{1000, 1, 6, 0, true},      // 150 x 1, not 150 x 0
                         Case{1000, 1, 1, 0, false}, Case{1, 1000, 0, 993, true}, // 1 x 150
                         Case{1, 1000, 0, 1, false}}) {
        cDIB source;
        MakePicture(source, c.width, c.height, {0, 0, 0});
        SetPixel(source, c.x, c.height - 1 - c.y, {255, 0, 0});
        cDIB target;
        Dither(source, 1, target);
        EXPECT_EQ(TableHolds(target, {255, 0, 0}), c.kept)
            << c.width << "x" << c.height << " at " << c.x << "," << c.y;
    }
}

// The target takes the source's size whatever it held, with a full 256-entry table; pictures
// 300 or more times wider than high (or the reverse) still get a palette.
TEST(Dither8bpp, TargetTakesTheSourceSizeAndAFullTable) {
    for (const auto& [width, height] : {std::pair{1, 1}, std::pair{1000, 1}, std::pair{1, 1000}}) {
        cDIB source, target;
        MakePicture(source, width, height, {10, 200, 30});
        ASSERT_TRUE(target.Create(7, 3, 32));
        Dither(source, 1, target);
        EXPECT_EQ(target.Width(), width);
        EXPECT_EQ(target.Height(), height);
        EXPECT_EQ(target.BPP(), 8);
        ASSERT_EQ(target.ColorTable().size(), 1024u);
        EXPECT_EQ(TableEntry(target.ColorTable(), 0), (Rgb{10, 200, 30}));
        EXPECT_TRUE(std::all_of(target.lpBits(), target.lpBits() + target.Size(),
                                [](uint8_t b) { return b == 0; }));
    }
}

TEST(Dither8bpp, RefusesWhatItCannotDither) {
    mDither8bpp dither;
    dither.SetDitherMethod(1);
    EXPECT_THROW(dither.SetDitherMethod(2), IndexOutOfRangeError);
    EXPECT_EQ(dither.DitherMethod(), 1);

    cDIB empty, indexed, target;
    ASSERT_TRUE(indexed.Create(4, 4, 8));
    ASSERT_TRUE(target.Create(2, 2, 32));
    EXPECT_FALSE(dither.DitherTo8bpp(empty, target));
    EXPECT_FALSE(dither.DitherTo8bpp(indexed, target));
    EXPECT_FALSE(dither.DitherTo8bpp(target, target));
    EXPECT_EQ(target.BPP(), 32) << "the target is left alone";
}
