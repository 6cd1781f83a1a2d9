#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/Room.h"
#include "support/RecordingCanvas.h"

namespace {

using Calls = std::vector<std::string>;

Calls DrawListener(TPixel Centre, int Plane, float Scale)
{
    TListener L("Oyente");
    TRecordingCanvas C;
    L.Draw(C, Centre, Plane, Scale);
    return C.Calls;
}

Calls DrawSpeaker(int Channel, TPixel Centre, int Plane, float Scale)
{
    TSpeaker S("S", static_cast<std::uint8_t>(Channel));
    TRecordingCanvas C;
    S.Draw(C, Centre, Plane, Scale);
    return C.Shapes();
}

TEST(ListenerSymbol, BlueHeadRoundedPerPlane)
{
    // 0.17 x 50 = 8.5 rounds to the even 8: 16 pixels wide, 20 high.
    EXPECT_EQ(DrawListener({100, 100}, apXY, 100),
              (Calls{"pen FF0000", "brush FF0000", "ellipse 92,90 108,110"}));
    // The elevations round each edge on its own: 91.5 -> 92, 108.5 -> 108.
    EXPECT_EQ(DrawListener({100, 100}, apXZ, 100),
              (Calls{"pen FF0000", "brush FF0000", "ellipse 92,89 108,111"}));
    EXPECT_EQ(DrawListener({101, 100}, apXZ, 100).back(), "ellipse 92,89 110,111");
    EXPECT_EQ(DrawListener({101, 100}, apXY, 100).back(), "ellipse 93,90 109,110");
    EXPECT_EQ(DrawListener({100, 100}, apYZ, 100).back(), "ellipse 90,89 110,111");
    // Larger views draw larger heads.
    EXPECT_EQ(DrawListener({0, 0}, apXY, 150).back(), "ellipse -13,-15 13,15");
    EXPECT_TRUE(DrawListener({0, 0}, 3, 100).empty());
}

TEST(SpeakerSymbol, SideViewsAreTheSameFigureTurned)
{
    // u = 100 / 2.5 x 0.1 = 4 pixels.
    EXPECT_EQ(DrawSpeaker(0, {200, 100}, apXY, 100),
              (Calls{"polyline 196,98 190,104 210,104 204,98 196,98 196,96 204,96 204,98"}));
    EXPECT_EQ(DrawSpeaker(0, {200, 100}, apYZ, 100),
              (Calls{"polyline 198,96 204,90 204,110 198,104 198,96 196,96 196,104 198,104"}));
    // At scale 125, u is a hair above 5 (the radius is a float slightly above
    // 0.1), so the half offsets 2.5u and 0.5u round away from the even choice.
    EXPECT_EQ(DrawSpeaker(1, {0, 0}, apXY, 125),
              (Calls{"polyline -5,-3 -13,5 13,5 5,-3 -5,-3 -5,-5 5,-5 5,-3"}));
}

TEST(SpeakerSymbol, FrontViewIsADriverWithDustCap)
{
    TSpeaker S("Altavoz derecho", 1);
    TRecordingCanvas C;
    S.Draw(C, {200, 100}, apXZ, 100);
    // r = 10 pixels; the cap has r / 4 = 2.5 and rounds each edge to even.
    EXPECT_EQ(C.Calls, (Calls{"pen 0000FF", "brush 0000FF", "brush 000000", "ellipse 190,90 210,110",
                              "brush 0000FF", "ellipse 198,98 202,102"}));
    TRecordingCanvas None;
    S.Draw(None, {0, 0}, -1, 100);
    EXPECT_TRUE(None.Calls.empty());
}

} // namespace
