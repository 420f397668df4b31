// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "ui/pointer_file.h"

#include <QFile>
#include <QImage>
#include <QPixmap>
#include <gtest/gtest.h>

namespace lumatrim {
namespace {

QByteArray Resource(const char* name) {
    QFile file(QString(LUMATRIM_RESOURCES) + '/' + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Hotspots and the fallbacks are covered through the window in form1_test.cpp. The shipped hand
// is read with its outline, fill and clear surround; damaged copies of it give no pointer.
TEST(PointerFileTest, ReadsTheShippedHandButNoBrokenFile) {
    const QByteArray good = Resource("HAND-M.CUR");
    const std::optional<QCursor> hand = DecodePointerFile(good);
    ASSERT_TRUE(hand);
    const QImage image = hand->pixmap().toImage();
    ASSERT_EQ(image.size(), QSize(32, 32));
    EXPECT_EQ(image.pixelColor(6, 0), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(7, 2), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0);
    QByteArray wrongType = good, offsetBeyond = good;
    wrongType[2] = 3;
    offsetBeyond[18] = offsetBeyond[19] = static_cast<char>(0xFF);
    for (const QByteArray& broken : {QByteArray(), good.left(20), good.left(200), wrongType,
                                     offsetBeyond, QByteArray("not a cursor, just some text")})
        EXPECT_FALSE(DecodePointerFile(broken)) << broken.size();
}

// The shipped pointers carry alpha; older one-bit ones rely on the mask instead. This 2 x 2
// cursor has pixel (1, 0) white, (0, 0) black and (0, 1) masked away, rows stored bottom-up.
TEST(PointerFileTest, ReadsPalettizedBitmapsThroughTheirMask) {
    QByteArray dib;
    auto put = [&](uint32_t value, int bytes) {
        dib.append(reinterpret_cast<const char*>(&value), bytes);
    };
    put(40, 4), put(2, 4), put(4, 4), put(1, 2), put(1, 2);
    for (uint32_t word : {0u, 0u, 0u, 0u, 0u, 0u, 0x000000u, 0xFFFFFFu, 0u, 0x40u, 0x80u, 0u})
        put(word, 4); // header rest, colour table, colour rows, mask rows
    const char entry[16] = {2, 2, 2, 0, 1, 0, 1, 0, static_cast<char>(dib.size()), 0, 0, 0, 22};
    const std::optional<QCursor> cursor =
        DecodePointerFile(QByteArray("\0\0\2\0\1\0", 6) + QByteArray(entry, 16) + dib);
    ASSERT_TRUE(cursor);
    const QImage image = cursor->pixmap().toImage();
    EXPECT_EQ(image.pixelColor(1, 0), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(0, 1).alpha(), 0);
}

} // namespace
} // namespace lumatrim
