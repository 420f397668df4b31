// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "imaging/atomic_file.h"
#include "imaging/dib.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

using namespace lumatrim;
using namespace lumatrim::test;

TEST(AtomicFile, TargetChangesOnlyOnCommitOrCopyAndNoTemporaryIsLeft) {
    TempDir dir;
    WriteBytes(dir / "a", {9});
    for (const bool commit : {false, true}) {
        AtomicFile file(dir / "a");
        ASSERT_TRUE(file.Write(std::vector<uint8_t>{1, 2}));
        EXPECT_EQ(ReadBytes(dir / "a"), std::vector<uint8_t>{9}) << "old content until commit";
        if (commit) {
            ASSERT_TRUE(file.Commit());
        }
    }
    EXPECT_EQ(ReadBytes(dir / "a"), (std::vector<uint8_t>{1, 2}));

    std::vector<uint8_t> big(200000);
    for (size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<uint8_t>(i * 31);
    WriteBytes(dir / "src", big);
    EXPECT_TRUE(CopyFileAtomically(dir / "src", dir / "a"));
    EXPECT_EQ(ReadBytes(dir / "a"), big);
    EXPECT_FALSE(CopyFileAtomically(dir / "nothing", dir / "b"));

    // The temporary name is short, so any legal target name works.
    const std::string longest(255, 'n');
    EXPECT_TRUE(WriteFileAtomically(dir / longest, big));
    EXPECT_EQ(dir.FileNames(), (std::vector<std::string>{"a", longest, "src"}));

    // A name with a NUL byte reaches the system as the name it stops at: it is refused, and
    // that existing file is neither replaced nor removed.
    const std::string withNul = (dir / "a").string() + '\0' + ".gif";
    EXPECT_FALSE(WriteFileAtomically(withNul, big));
    EXPECT_FALSE(CopyFileAtomically(dir / "src", withNul));
    EXPECT_EQ(ReadBytes(dir / "a"), big);

    AtomicFile nowhere(dir / "missing" / "a");
    EXPECT_FALSE(nowhere.Write(std::vector<uint8_t>{1}) || nowhere.Commit());
    EXPECT_NE(nowhere.Error().find("missing"), std::string::npos);
}

TEST(BmpWriter, HeaderFullTableAndPaddedBottomUpRows) {
    cDIB dib;
    ASSERT_TRUE(dib.Create(3, 2, 8));
    std::vector<uint8_t> table(1024);
    table[4 * 255 + 2] = 0xEE;
    dib.SetPalette(table);
    dib.lpBits()[0] = 1;                        // bottom row, first pixel
    dib.lpBits()[dib.BytesPerScanline()] = 255; // top row
    const auto bytes = dib.SaveToMemory();
    ASSERT_EQ(bytes.size(), 1086u);
    const std::vector<uint8_t> header = {
        'B', 'M', 0x3E, 4, 0, 0, 0, 0, 0, 0, 0x36, 4, 0, 0, 40, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 1,
        0,   8,   0,    0, 0, 0, 0, 0, 0, 0, 0,    0, 0, 0, 0,  0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 54), header);
    EXPECT_EQ((std::array{bytes[54 + 4 * 255 + 2], bytes[1078], bytes[1082]}),
              (std::array<uint8_t, 3>{0xEE, 1, 255}));
}
