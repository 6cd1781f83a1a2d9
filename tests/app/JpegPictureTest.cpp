#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include <algorithm>
#include <vector>

#include "app/JpegPicture.h"
#include "app/Pictures.h"

namespace {

std::vector<unsigned char> Bytes(std::span<const unsigned char> S)
{
    return {S.begin(), S.end()};
}

TEST(JpegPicture, EmbeddedPicturesDecodeWithTheirColours)
{
    const QImage Footprint = DecodeJpeg(Pictures::Footprint());
    ASSERT_FALSE(Footprint.isNull());
    EXPECT_EQ(Footprint.size(), QSize(161, 114));
    // The left loudspeaker is white, the right one red, the listener blue:
    // a swapped channel order would show at once.
    const QColor White = Footprint.pixelColor(36, 36);
    EXPECT_GT(std::min({White.red(), White.green(), White.blue()}), 220);
    const QColor Red = Footprint.pixelColor(36, 78);
    EXPECT_GT(Red.red(), 180);
    EXPECT_LT(Red.blue(), 90);
    const QColor Blue = Footprint.pixelColor(92, 57);
    EXPECT_GT(Blue.blue(), 170);
    EXPECT_LT(Blue.red(), 100);

    const QImage RoomEq = DecodeJpeg(Pictures::RoomEq());
    ASSERT_FALSE(RoomEq.isNull());
    EXPECT_EQ(RoomEq.size(), QSize(161, 87));
    const QColor Bar = RoomEq.pixelColor(12, 65); // foot of the first bar: green
    EXPECT_GT(Bar.green(), 150);
    EXPECT_LT(Bar.red(), 110);
}

TEST(JpegPicture, DamagedDataGivesNoPicture)
{
    const std::vector<unsigned char> Good = Bytes(Pictures::Footprint());
    ASSERT_GT(Good.size(), 1000u);

    const char Text[] = "this is no picture at all";
    EXPECT_TRUE(DecodeJpeg({reinterpret_cast<const unsigned char*>(Text), sizeof Text}).isNull());
    std::vector<unsigned char> Garbage(Good.begin(), Good.begin() + 2); // SOI, then noise
    for (int I = 0; I < 4000; ++I)
        Garbage.push_back(static_cast<unsigned char>((I * 7919) >> 3));
    EXPECT_TRUE(DecodeJpeg(Garbage).isNull());

    // Every cut of the file from empty to all but the last byte: the library
    // would fill in grey and carry on, the decoder refuses.
    for (std::size_t Size = 0; Size < Good.size(); Size += (Size + 2 < Good.size() ? 61 : 1)) {
        const std::vector<unsigned char> Cut(Good.begin(), Good.begin() + static_cast<std::ptrdiff_t>(Size));
        EXPECT_TRUE(DecodeJpeg(Cut).isNull()) << "cut at " << Size;
    }
    EXPECT_FALSE(DecodeJpeg(Good).isNull());
}

TEST(JpegPicture, ImpossibleOrHugeFrameIsRefused)
{
    const std::vector<unsigned char> Good = Bytes(Pictures::Footprint());
    // The baseline frame header (after FF C0): length (2), precision (1),
    // height (2), width (2).
    std::size_t Frame = 0;
    while (Frame + 1 < Good.size() && !(Good[Frame] == 0xFF && Good[Frame + 1] == 0xC0))
        ++Frame;
    ASSERT_LT(Frame + 9, Good.size());
    Frame += 2;
    auto WithSize = [&](unsigned Height, unsigned Width) {
        std::vector<unsigned char> D = Good;
        D[Frame + 3] = static_cast<unsigned char>(Height >> 8);
        D[Frame + 4] = static_cast<unsigned char>(Height & 0xFF);
        D[Frame + 5] = static_cast<unsigned char>(Width >> 8);
        D[Frame + 6] = static_cast<unsigned char>(Width & 0xFF);
        return D;
    };
    EXPECT_TRUE(DecodeJpeg(WithSize(0, 161)).isNull());
    EXPECT_TRUE(DecodeJpeg(WithSize(114, 0)).isNull());
    // 60000 x 60000 would take 10 GB of pixels; refused before allocating.
    EXPECT_TRUE(DecodeJpeg(WithSize(60000, 60000)).isNull());
    EXPECT_TRUE(DecodeJpeg(WithSize(114, MaxJpegSide + 1)).isNull());
    // The true size still decodes: the patching itself is sound.
    EXPECT_FALSE(DecodeJpeg(WithSize(114, 161)).isNull());
}

} // namespace
