#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include <cstring>
#include <vector>

#include "app/JpegPicture.h"
#include "app/Pictures.h"

namespace {

std::vector<unsigned char> Bytes(std::span<const unsigned char> S)
{
    return {S.begin(), S.end()};
}

// Offset of the first byte after the marker FF Code, or npos.
std::size_t AfterMarker(const std::vector<unsigned char>& Data, unsigned char Code)
{
    for (std::size_t I = 0; I + 1 < Data.size(); ++I)
        if (Data[I] == 0xFF && Data[I + 1] == Code)
            return I + 2;
    return std::string::npos;
}

TEST(JpegPicture, EmbeddedPicturesDecodeWithTheirColours)
{
    const QImage Footprint = DecodeJpeg(Pictures::Footprint());
    ASSERT_FALSE(Footprint.isNull());
    EXPECT_EQ(Footprint.size(), QSize(161, 114));
    // The left loudspeaker is white, the right one red, the listener blue:
    // a swapped channel order would show at once.
    const QColor White = Footprint.pixelColor(36, 36);
    EXPECT_GT(White.red(), 220);
    EXPECT_GT(White.green(), 220);
    EXPECT_GT(White.blue(), 220);
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

    EXPECT_TRUE(DecodeJpeg({}).isNull());
    const char Text[] = "this is no picture at all";
    EXPECT_TRUE(DecodeJpeg({reinterpret_cast<const unsigned char*>(Text), sizeof Text}).isNull());

    std::vector<unsigned char> Garbage(Good.begin(), Good.begin() + 2); // SOI, then noise
    for (int I = 0; I < 4000; ++I)
        Garbage.push_back(static_cast<unsigned char>((I * 7919) >> 3));
    EXPECT_TRUE(DecodeJpeg(Garbage).isNull());

    // Every cut of the file, the last two bytes (the end marker) included:
    // the library would fill in grey and carry on, the loader refuses.
    for (std::size_t Size = 0; Size < Good.size(); Size += (Size + 2 < Good.size() ? 61 : 1)) {
        const std::vector<unsigned char> Cut(Good.begin(), Good.begin() + static_cast<std::ptrdiff_t>(Size));
        EXPECT_TRUE(DecodeJpeg(Cut).isNull()) << "cut at " << Size;
    }
    EXPECT_FALSE(DecodeJpeg(Good).isNull());
}

TEST(JpegPicture, ImpossibleOrHugeFrameIsRefused)
{
    const std::vector<unsigned char> Good = Bytes(Pictures::Footprint());
    const std::size_t Frame = AfterMarker(Good, 0xC0); // baseline frame header
    ASSERT_NE(Frame, std::string::npos);
    // Frame header: length (2), precision (1), height (2), width (2).
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
    // The untouched sizes still decode: the patching itself is sound.
    EXPECT_FALSE(DecodeJpeg(WithSize(114, 161)).isNull());
}

} // namespace
