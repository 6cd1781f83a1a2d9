// Dimension annotations: which element gets which stacking level, where the
// lines and labels land in a plan view, and their colours.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <sstream>
#include <string>
#include <vector>

#include "model/Room.h"
#include "support/RecordingCanvas.h"
#include "views/Acotations.h"
#include "views/VisualRoom.h"

using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::Not;

namespace {

using Strings = std::vector<std::string>;
using TXyz = std::array<float, 3>;
TXyz Xyz(const TPoint3D& P) { return {P.X, P.Y, P.Z}; }

void Place(TRoom& Room, TPoint3D Listener, TPoint3D Left, TPoint3D Right)
{
    Room.Listener().SetPosition(Listener);
    Room.Speakers().FindByChannel(0)->SetPosition(Left);
    Room.Speakers().FindByChannel(1)->SetPosition(Right);
}

// The annotations in list order, each as "surface X,Y level".
Strings Summary(const TAcotationManager& M)
{
    Strings Out;
    for (int I = 0; I < M.Count(); ++I) {
        const TCote& C = *M.GetCote(I);
        std::ostringstream S;
        S << static_cast<int>(C.Surface()) << ' ' << C.Position().X << ',' << C.Position().Y << ' ' << C.Level();
        Out.push_back(S.str());
    }
    return Out;
}

// A plan of the default room at exactly 100 pixels per metre on both axes:
// inner rectangle 453 x 733, Rim 10, WallSize 5.
struct PlanAt100 {
    TRoom Room;
    TVisualRoom View;
    PlanAt100()
    {
        View.SetRim(10);
        View.resize(473, 753);
        View.SetRoom(&Room);
    }
    Strings Draw()
    {
        TRecordingCanvas Canvas;
        View.DrawAcotations(Canvas, View.width(), View.height());
        return Canvas.Calls;
    }
};

} // namespace

TEST(Acotations, CompareCotesOrdersBySurfaceThenAlongTheWall)
{
    const TCote Floor(Point3D(1, 1, 0), rsFloor);
    EXPECT_EQ(CompareCotes(Floor, Floor), 0);
    // Equal keys, and surfaces without an order, answer "greater" both ways.
    struct Row { const char* Name; TCote A, B; int AB, BA; };
    const Row Rows[] = {
        {"lower surface first", {Point3D(1, 1, 0), rsFloor}, {Point3D(0.5f, 0, 1), rsWallY0}, -1, 1},
        {"smaller X along Y = 0", {Point3D(0.5f, 0, 1), rsWallY0}, {Point3D(1.2f, 0, 1), rsWallY0}, -1, 1},
        {"smaller Y along X = 0", {Point3D(0, 1, 1), rsWallX0}, {Point3D(0, 2, 0.5f), rsWallX0}, -1, 1},
        {"equal X", {Point3D(1.2f, 0, 1), rsWallY0}, {Point3D(1.2f, 0, 2), rsWallY0}, 1, 1},
        {"equal Y", {Point3D(0, 2, 1), rsWallX0}, {Point3D(0, 2, 0.5f), rsWallX0}, 1, 1},
        {"floor", {Point3D(1, 1, 0), rsFloor}, {Point3D(0.5f, 1, 0), rsFloor}, 1, 1},
    };
    for (const Row& C : Rows) {
        EXPECT_EQ(CompareCotes(C.A, C.B), C.AB) << C.Name;
        EXPECT_EQ(CompareCotes(C.B, C.A), C.BA) << C.Name;
    }
}

TEST(Acotations, BuildSortsAndStacksFromEachEndOfTheWall)
{
    TRoom Room;
    TAcotationManager M;
    M.Build();
    EXPECT_EQ(M.Count(), 0) << "no room, no annotations";
    M.SetRoom(&Room);
    const float Half = Room.GetWidth() / 2.0f;
    struct Row {
        const char* Name;
        TPoint3D Listener, Left, Right;
        Strings Expected;
        int Measured; // index of an annotation whose reference corner is checked
        TXyz Corner;
    };
    const Row Rows[] = {
        // 0.5 and 1.2 are numbered from the X = 0 end, 4.0 from the X = W end
        // and measured from there.
        {"three on Y = 0", Point3D(4.0f, 0, 1.1f), Point3D(1.2f, 0, 0.65f), Point3D(0.5f, 0, 0.65f),
         {"2 0.5,0 1", "2 1.2,0 2", "2 4,0 1"}, 2, {4.53f, 0, 0}},
        // The middle of the wall is numbered with the far group but measured
        // from X = 0; the element on the floor gets no level.
        {"middle of Y = 0", Point3D(Half, 0, 1.1f), Point3D(4.2f, 0, 0.65f), Point3D(2, 3, 0),
         {"0 2,3 -1", "2 2.265,0 2", "2 4.2,0 1"}, 1, {0, 0, 0}},
        {"side walls", Point3D(0, 6, 1.1f), Point3D(4.53f, 7, 0.65f), Point3D(4.53f, 5, 0.65f),
         {"4 0,6 1", "5 4.53,5 2", "5 4.53,7 1"}, 2, {4.53f, 7.33f, 0}},
    };
    for (const Row& C : Rows) {
        Place(Room, C.Listener, C.Left, C.Right);
        M.Build();
        EXPECT_EQ(Summary(M), C.Expected) << C.Name;
        ASSERT_EQ(M.Count(), 3) << C.Name;
        EXPECT_EQ(Xyz(M.ReferencePoint(*M.GetCote(C.Measured))), C.Corner) << C.Name;
    }
    EXPECT_EQ(M.GetCote(-1), nullptr);
    EXPECT_EQ(M.GetCote(3), nullptr);
    EXPECT_EQ(Xyz(M.ReferencePoint(TCote(Point3D(3, 6, 1), rsNone))), (TXyz{0, 0, 0})) << "not on a wall";
}

TEST(Acotations, WallDimensionLinesAreStackedOutsideTheWall)
{
    PlanAt100 P;
    Place(P.Room, Point3D(0.5f, 0, 1.0f), Point3D(1.2f, 0, 0.65f), Point3D(4.0f, 0, 0.65f));
    const Strings Calls = P.Draw();
    // Level 1 runs 12 + 5 pixels outside the inner face, level 2 24 + 5; the
    // texts are centred on their line (6 px per character, 13 high), the
    // height labels 10 pixels below the elements.
    for (const char* Expected :
         {"polyline 10,10 10,-7 60,-7 60,10", "polyline 10,10 10,-19 130,-19 130,10",
          "polyline 463,10 463,-7 410,-7 410,10", "text 26,-14 0.5", "text 61,-26 1.2", "text 424,-14 0.53",
          "text 39,20 Alt : 1", "text 100,20 Alt : 0.65"})
        EXPECT_THAT(Calls, Contains(Expected));
    EXPECT_THAT(Calls, Not(Contains("penstyle 2"))) << "wall lines are solid";
    EXPECT_EQ(Calls.back(), "penstyle 0") << "the pen is left solid";

    P.View.SetWallSize(3);
    EXPECT_THAT(P.Draw(), Contains("polyline 10,10 10,-5 60,-5 60,10"));
}

TEST(Acotations, FreeElementsMeasureToTheNearestWalls)
{
    PlanAt100 P;
    // X within the 0.01 m allowance past the middle: measured from X = 0,
    // label to the right. Y has no allowance: measured from Y = D.
    const float X = P.Room.GetWidth() / 2.0f + 0.005f;
    const float Y = P.Room.GetDepth() / 2.0f + 0.005f;
    Place(P.Room, Point3D(X, Y, 1.1f), Point3D(0, 1, 0.65f), Point3D(4.53f, 1, 0.65f));
    const Strings Calls = P.Draw();
    for (const char* Expected : {"line 237,377 10,377", "line 237,377 237,743", "text 111,370 2.27",
                                 "text 225,553 3.66", "text 254,371 Alt : 1.1", "penstyle 2"})
        EXPECT_THAT(Calls, Contains(Expected));

    // Past the allowance X counts from W and the label moves to the left.
    Place(P.Room, Point3D(3.5f, 2, 1.1f), Point3D(0, 1, 0.65f), Point3D(4.53f, 1, 0.65f));
    const Strings Right = P.Draw();
    EXPECT_THAT(Right, Contains("line 360,210 463,210"));
    EXPECT_THAT(Right, Contains("text 289,204 Alt : 1.1"));
}

TEST(Acotations, HeightLabelOnlyAboveOneCentimetre)
{
    PlanAt100 P;
    Place(P.Room, Point3D(2, 3, 0.01f), Point3D(1, 2, 0.02f), Point3D(3, 2, 0.0f));
    const Strings Calls = P.Draw();
    EXPECT_THAT(Calls, Contains(HasSubstr("Alt :")).Times(1));
    EXPECT_THAT(Calls, Contains("text 127,204 Alt : 0.02"));
}

TEST(Acotations, PenIsTheInvertedBackground)
{
    PlanAt100 P;
    struct Row { TColor Background; Strings PenAndBrush; };
    for (const Row& C : {Row{RGB(0, 0, 0), {"pen FFFFFF", "brush 000000"}},
                         Row{RGB(204, 0, 204), {"pen 33FF33", "brush CC00CC"}}}) {
        P.View.SetBackgroundColor(C.Background);
        const Strings Calls = P.Draw();
        ASSERT_GE(Calls.size(), 2u);
        EXPECT_EQ(Strings(Calls.begin(), Calls.begin() + 2), C.PenAndBrush);
    }
}
