#include "imaging/dib.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

using namespace lumatrim;
using namespace lumatrim::test;

namespace {

uint32_t Read32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t{b[at + 3]} << 24;
}

} // namespace

TEST(BmpWriter, EightBitSurfaceHasTheFullTableAndPaddedRows) {
    cDIB dib;
    ASSERT_TRUE(dib.Create(3, 2, 8));
    std::vector<uint8_t> table(1024);
    table[4 * 255 + 2] = 0xEE;
    dib.SetPalette(table);
    dib.lpBits()[0] = 1;                        // bottom row, first pixel
    dib.lpBits()[dib.BytesPerScanline()] = 255; // top row
    const auto bytes = dib.SaveToMemory();
    ASSERT_EQ(bytes.size(), 1086u);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    EXPECT_EQ(Read32(bytes, 2), 1086u);
    EXPECT_EQ(Read32(bytes, 6), 0u);
    EXPECT_EQ(Read32(bytes, 10), 1078u);
    EXPECT_EQ(Read32(bytes, 14), 40u);
    EXPECT_EQ(Read32(bytes, 18), 3u);
    EXPECT_EQ(Read32(bytes, 22), 2u);
    EXPECT_EQ(bytes[26] | bytes[27] << 8, 1);
    EXPECT_EQ(bytes[28] | bytes[29] << 8, 8);
    for (size_t at = 30; at < 54; at += 4)
        EXPECT_EQ(Read32(bytes, at), 0u) << "field at " << at;
    EXPECT_EQ(bytes[54 + 4 * 255 + 2], 0xEE);
    EXPECT_EQ(bytes[1078], 1);
    EXPECT_EQ(bytes[1082], 255);
}

TEST(BmpWriter, SizesForOtherDepths) {
    cDIB dib;
    ASSERT_TRUE(dib.Create(2, 2, 32));
    auto bytes = dib.SaveToMemory();
    EXPECT_EQ(bytes.size(), 70u);
    EXPECT_EQ(Read32(bytes, 10), 54u);
    ASSERT_TRUE(dib.Create(5, 3, 1));
    bytes = dib.SaveToMemory();
    EXPECT_EQ(bytes.size(), 54u + 8 + 12);
    EXPECT_EQ(Read32(bytes, 10), 62u);
}

TEST(BmpWriter, SaveWritesTheFileAndOnlyIt) {
    TempDir dir;
    cDIB dib, empty;
    ASSERT_TRUE(dib.Create(3, 2, 8));
    EXPECT_TRUE(dib.Save(dir / "out.bmp"));
    EXPECT_EQ(ReadBytes(dir / "out.bmp"), dib.SaveToMemory());
    EXPECT_FALSE(empty.Save(dir / "empty.bmp"));
    EXPECT_EQ(dir.FileNames(), std::vector<std::string>{"out.bmp"});
}

TEST(BmpWriter, FailedSaveKeepsTheEarlierFile) {
    // A file-size limit makes the write fail part-way, even for root.
    TempDir dir;
    WriteBytes(dir / "out.bmp", {1, 2, 3});
    cDIB dib;
    ASSERT_TRUE(dib.Create(30, 20, 8));
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    rlimit tiny = saved;
    tiny.rlim_cur = 100;
    setrlimit(RLIMIT_FSIZE, &tiny);
    const bool saved_ok = dib.Save(dir / "out.bmp");
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(saved_ok);
    EXPECT_EQ(ReadBytes(dir / "out.bmp"), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(dir.FileNames(), std::vector<std::string>{"out.bmp"});
}
