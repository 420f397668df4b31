#include "ui/pointer_file.h"

#include <QBitmap>
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

TEST(PointerFileTest, ReadsTheShippedPointersWithTheirHotspots) {
    const std::optional<QCursor> hand = DecodePointerFile(Resource("HAND-M.CUR"));
    ASSERT_TRUE(hand);
    EXPECT_EQ(hand->hotSpot(), QPoint(7, 1));
    const QImage image = hand->pixmap().toImage();
    ASSERT_EQ(image.size(), QSize(32, 32));
    EXPECT_EQ(image.pixelColor(6, 0), QColor(Qt::black)); // outline
    EXPECT_EQ(image.pixelColor(7, 2), QColor(Qt::white)); // fill
    EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0);         // around it
    const std::optional<QCursor> drag = DecodePointerFile(Resource("drag.ico"));
    ASSERT_TRUE(drag);
    EXPECT_EQ(drag->hotSpot(), QPoint(16, 16)); // an icon points with its centre
}

// A 2 x 2 one-bit cursor: colours black and white, pixel (1, 0) white, (0, 1) masked away.
QByteArray OneBitCursor() {
    QByteArray dib;
    auto put32 = [&](uint32_t v) { dib.append(reinterpret_cast<const char*>(&v), 4); };
    auto put16 = [&](uint16_t v) { dib.append(reinterpret_cast<const char*>(&v), 2); };
    put32(40), put32(2), put32(4), put16(1), put16(1);
    for (int i = 0; i < 6; ++i)
        put32(0);
    put32(0x000000), put32(0xFFFFFF);     // colour table
    put32(0x00000000), put32(0x00000040); // rows bottom-up: (0,1) black; (1,0) white
    put32(0x00000080), put32(0x00000000); // mask bottom-up: (0,1) transparent
    QByteArray file("\0\0\2\0\1\0", 6);
    const char entry[16] = {2, 2, 2, 0,  1, 0, 1, 0, static_cast<char>(dib.size()),
                            0, 0, 0, 22, 0, 0, 0};
    return file + QByteArray(entry, 16) + dib;
}

TEST(PointerFileTest, ReadsPalettizedBitmapsWithTheirMask) {
    const std::optional<QCursor> cursor = DecodePointerFile(OneBitCursor());
    ASSERT_TRUE(cursor);
    EXPECT_EQ(cursor->hotSpot(), QPoint(1, 1));
    const QImage image = cursor->pixmap().toImage();
    EXPECT_EQ(image.pixelColor(1, 0), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(0, 1).alpha(), 0);
}

TEST(PointerFileTest, BrokenFilesGiveNoPointerAndMissingOnesTheFallback) {
    const QByteArray good = Resource("HAND-M.CUR");
    QByteArray wrongType = good;
    wrongType[2] = 3;
    QByteArray offsetBeyond = good;
    offsetBeyond[18] = static_cast<char>(0xFF);
    offsetBeyond[19] = static_cast<char>(0xFF);
    for (const QByteArray& broken :
         {QByteArray(), good.left(20), good.left(200), wrongType, offsetBeyond,
          QByteArray("not a cursor at all, just some text")})
        EXPECT_FALSE(DecodePointerFile(broken)) << broken.size();
    EXPECT_EQ(LoadPointerFile("/no/such/HAND-M.CUR", QCursor(Qt::PointingHandCursor)).shape(),
              Qt::PointingHandCursor);
}

} // namespace
} // namespace lumatrim
