// The pressure map picture: whole maps against the pixel-by-pixel formula
// for several rooms, views and mark sets; the rim and frames without an
// inner area; the view adapter; the view frame's round trip.
#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>
#include <cstdlib>
#include <vector>

#include "model/ModeSPL.h"
#include "model/Modes.h"
#include "model/Room.h"
#include "model/Utilities.h"
#include "views/PressureMap.h"
#include "views/ViewFrame.h"
#include "views/VisualRoom.h"

namespace {

std::vector<TWeightedMode> ModesOf(const TRoom& Room, TModeKinds Kinds)
{
    TModeManager Manager;
    Manager.Compute(Room, Kinds);
    std::vector<TWeightedMode> Modes;
    for (int I = 0; I < Manager.Count(); ++I)
        Modes.push_back(WeightMode(*Manager.GetMode(I)));
    return Modes;
}

TViewFrame FrameFor(const TRoom& Room, TAxisProjection Axis, int Rim, int Width, int Height)
{
    TViewFrame F;
    F.Axis = Axis;
    F.Rim = Rim;
    F.Width = Width;
    F.Height = Height;
    F.RoomWidth = Room.GetWidth();
    F.RoomDepth = Room.GetDepth();
    F.RoomHeight = Room.GetHeight();
    return F;
}

// The largest difference of one colour channel between two pictures of the
// same size, or 256 when the sizes or formats differ.
int LargestChannelDifference(const QImage& A, const QImage& B)
{
    if (A.size() != B.size() || A.format() != B.format())
        return 256;
    int Largest = 0;
    for (int Y = 0; Y < A.height(); ++Y) {
        const uchar* La = A.constScanLine(Y);
        const uchar* Lb = B.constScanLine(Y);
        for (int I = 0; I < 3 * A.width(); ++I)
            Largest = std::max(Largest, std::abs(La[I] - Lb[I]));
    }
    return Largest;
}

TEST(PressureMap, WholeMapsStayWithinOneLevelOfThePixelFormula)
{
    const struct {
        float W, D, H;
    } Rooms[] = {{4.53f, 7.33f, 2.8f}, {3.1f, 3.1f, 2.4f}, {5.6f, 4.1f, 2.5f}};
    const TAxisProjection Axes[] = {apXY, apXZ, apYZ};
    for (const auto& R : Rooms) {
        TRoom Room;
        Room.SetWidth(R.W);
        Room.SetDepth(R.D);
        Room.SetHeight(R.H);
        const std::vector<TWeightedMode> All = ModesOf(Room, {mkAxial, mkTangential, mkOblique});
        const std::vector<std::vector<TWeightedMode>> Sets = {
            {},
            {All.front()},
            std::vector<TWeightedMode>(All.begin(), All.begin() + 20),
            All,
        };
        for (const TAxisProjection Axis : Axes)
            for (const auto& Modes : Sets) {
                const TViewFrame Frame = FrameFor(Room, Axis, 5, 160, 120);
                const QImage Fast = RenderPressureMap(Frame, Room, Modes, RGB(10, 20, 30));
                const QImage Slow = RenderPressureMapPerPixel(Frame, Room, Modes, RGB(10, 20, 30));
                EXPECT_LE(LargestChannelDifference(Fast, Slow), 1)
                    << R.W << " x " << R.D << " x " << R.H << ", axis " << Axis << ", " << Modes.size() << " modes";
            }
    }
}

TEST(PressureMap, RimKeepsTheBackgroundAndAnEmptyListPaintsZero)
{
    TRoom Room;
    const QImage Map = RenderPressureMap(FrameFor(Room, apXY, 3, 40, 30), Room, {}, RGB(200, 100, 50));
    ASSERT_EQ(Map.format(), QImage::Format_RGB888);
    ASSERT_EQ(Map.size(), QSize(40, 30));
    std::uint8_t R0, G0, B0;
    ValueToRGB(0.0f, R0, G0, B0);
    for (int Y = 0; Y < 30; ++Y)
        for (int X = 0; X < 40; ++X) {
            const bool Inside = X >= 3 && X <= 36 && Y >= 3 && Y <= 26;
            EXPECT_EQ(Map.pixel(X, Y), Inside ? qRgb(R0, G0, B0) : qRgb(200, 100, 50)) << X << ", " << Y;
        }
    // Without an inner area everything is background, with or without modes.
    for (const auto& Size : {QSize(6, 30), QSize(40, 5), QSize(1, 1)}) {
        const QImage Bare = RenderPressureMap(FrameFor(Room, apYZ, 3, Size.width(), Size.height()), Room,
                                              {{1, 0, 0, 1.0f}}, RGB(1, 2, 3));
        ASSERT_EQ(Bare.size(), Size);
        for (int Y = 0; Y < Size.height(); ++Y)
            for (int X = 0; X < Size.width(); ++X)
                EXPECT_EQ(Bare.pixel(X, Y), qRgb(1, 2, 3));
    }
}

// A negative rim stretches the room past the picture's edges: the map fills
// the whole picture and writes nothing outside it.
TEST(PressureMap, NegativeRimFillsThePictureOnly)
{
    TRoom Room;
    const std::vector<TWeightedMode> Modes = {{1, 0, 0, 1.0f}, {1, 2, 0, 0.5f}};
    for (const TAxisProjection Axis : {apXY, apYZ}) {
        const TViewFrame Frame = FrameFor(Room, Axis, -4, 50, 40);
        const QImage Fast = RenderPressureMap(Frame, Room, Modes, RGB(9, 9, 9));
        EXPECT_LE(LargestChannelDifference(Fast, RenderPressureMapPerPixel(Frame, Room, Modes, RGB(9, 9, 9))), 1);
        std::uint8_t R, G, B;
        ValueToRGB(MeanModePressure(Room, Modes, Frame.ScreenToWorld(0, 0)), R, G, B);
        EXPECT_EQ(Fast.pixel(0, 0), qRgb(R, G, B));
    }
}

TEST(PressureMap, ViewAdapterHandsTheMapToTheView)
{
    TRoom Room;
    QWidget Parent;
    Parent.resize(300, 300);
    auto* View = new TVisualRoom(&Parent);
    View->setGeometry(0, 0, 120, 90);
    View->SetAxis(apYZ);
    View->SetBackgroundColor(RGB(0, 0, 80));
    const std::vector<TWeightedMode> Modes = {{0, 1, 0, 1.0f}, {0, 1, 1, 0.5f}};
    PaintPressureMap(*View, Modes);
    EXPECT_EQ(View->BackgroundPicture(), nullptr) << "no room, no picture";
    View->SetRoom(&Room);
    PaintPressureMap(*View, Modes);
    ASSERT_NE(View->BackgroundPicture(), nullptr);
    const QImage Expected = RenderPressureMap(FrameFor(Room, apYZ, 5, 120, 90), Room, Modes, RGB(0, 0, 80));
    const QImage Kept = View->BackgroundPicture()->convertToFormat(QImage::Format_RGB888);
    EXPECT_EQ(LargestChannelDifference(Kept, Expected), 0);
}

TEST(ViewFrame, PixelsSurviveTheRoundTripAndMatchTheView)
{
    TRoom Room;
    QWidget Parent;
    Parent.resize(400, 400);
    auto* View = new TVisualRoom(&Parent);
    View->setGeometry(0, 0, 157, 263);
    View->SetRoom(&Room);
    View->SetRim(7);
    for (const TAxisProjection Axis : {apXY, apXZ, apYZ}) {
        View->SetAxis(Axis);
        const TViewFrame F = TViewFrame::Of(*View);
        EXPECT_EQ(F.Width, 157);
        EXPECT_EQ(F.Height, 263);
        for (int Y = 0; Y < 263; Y += 13)
            for (int X = 0; X < 157; X += 11) {
                const TPixel P = F.WorldToScreen(F.ScreenToWorld(X, Y));
                EXPECT_EQ(P.X, X);
                EXPECT_EQ(P.Y, Y);
            }
    }
}

} // namespace
