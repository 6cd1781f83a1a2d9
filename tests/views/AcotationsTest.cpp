// Dimension annotations: which element gets which stacking level, where the
// lines and labels land in a plan view, and their colours.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/Room.h"
#include "support/RecordingCanvas.h"
#include "views/Acotations.h"
#include "views/VisualRoom.h"

using ::testing::Contains;
using ::testing::Not;

namespace {

void Place(TRoom& Room, TPoint3D Listener, TPoint3D Left, TPoint3D Right)
{
    Room.Listener().SetPosition(Listener);
    Room.Speakers().FindByChannel(0)->SetPosition(Left);
    Room.Speakers().FindByChannel(1)->SetPosition(Right);
}

// A plan of the default room at exactly 100 pixels per metre on both axes:
// inner rectangle 453 x 733, Rim 10.
struct PlanAt100 {
    TRoom Room;
    TVisualRoom View;
    PlanAt100()
    {
        View.SetRim(10);
        View.resize(473, 753);
        View.SetRoom(&Room);
    }
    std::vector<std::string> Draw()
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
    const TCote FloorToo(Point3D(0.5f, 1, 0), rsFloor);
    const TCote Y0a(Point3D(0.5f, 0, 1), rsWallY0);
    const TCote Y0b(Point3D(1.2f, 0, 1), rsWallY0);
    const TCote Y0same(Point3D(1.2f, 0, 2), rsWallY0);
    const TCote X0a(Point3D(0, 1, 1), rsWallX0);
    const TCote X0b(Point3D(0, 2, 0.5f), rsWallX0);
    EXPECT_EQ(CompareCotes(Floor, Floor), 0);
    EXPECT_EQ(CompareCotes(Floor, Y0a), -1);
    EXPECT_EQ(CompareCotes(Y0a, Floor), 1);
    EXPECT_EQ(CompareCotes(Y0a, Y0b), -1);
    EXPECT_EQ(CompareCotes(Y0b, Y0a), 1);
    EXPECT_EQ(CompareCotes(X0a, X0b), -1);
    EXPECT_EQ(CompareCotes(X0b, X0a), 1);
    // Equal keys and unordered surfaces answer "greater" both ways.
    EXPECT_EQ(CompareCotes(Y0b, Y0same), 1);
    EXPECT_EQ(CompareCotes(Y0same, Y0b), 1);
    EXPECT_EQ(CompareCotes(Floor, FloorToo), 1);
    EXPECT_EQ(CompareCotes(FloorToo, Floor), 1);
}

TEST(Acotations, BuildSortsAndStacksFromEachEndOfTheWall)
{
    TRoom Room;
    TAcotationManager M;
    M.Build();
    EXPECT_EQ(M.Count(), 0) << "no room, no annotations";
    M.SetRoom(&Room);
    // Three elements on the wall Y = 0 of the 4.53 m wide room.
    Place(Room, Point3D(4.0f, 0, 1.1f), Point3D(1.2f, 0, 0.65f), Point3D(0.5f, 0, 0.65f));
    M.Build();
    ASSERT_EQ(M.Count(), 3);
    const float Xs[] = {0.5f, 1.2f, 4.0f};
    const int Levels[] = {1, 2, 1};
    for (int I = 0; I < 3; ++I) {
        EXPECT_EQ(M.GetCote(I)->Surface(), rsWallY0);
        EXPECT_FLOAT_EQ(M.GetCote(I)->Position().X, Xs[I]);
        EXPECT_EQ(M.GetCote(I)->Level(), Levels[I]) << "X = " << Xs[I];
    }
    EXPECT_EQ(M.GetCote(-1), nullptr);
    EXPECT_EQ(M.GetCote(3), nullptr);
    const TPoint3D Far = M.ReferencePoint(*M.GetCote(2));
    EXPECT_FLOAT_EQ(Far.X, 4.53f);
    EXPECT_FLOAT_EQ(Far.Y, 0.0f);

    // The middle of the wall belongs to the far group but is measured from
    // X = 0.
    const float Half = Room.GetWidth() / 2.0f;
    Place(Room, Point3D(Half, 0, 1.1f), Point3D(4.2f, 0, 0.65f), Point3D(2, 3, 0));
    M.Build();
    ASSERT_EQ(M.Count(), 3);
    EXPECT_EQ(M.GetCote(0)->Surface(), rsFloor);
    EXPECT_EQ(M.GetCote(0)->Level(), -1);
    EXPECT_FLOAT_EQ(M.GetCote(1)->Position().X, Half);
    EXPECT_EQ(M.GetCote(1)->Level(), 2);
    EXPECT_EQ(M.GetCote(2)->Level(), 1);
    const TPoint3D Ref = M.ReferencePoint(*M.GetCote(1));
    EXPECT_EQ(Ref.X, 0.0f);
    EXPECT_EQ(Ref.Y, 0.0f);
    EXPECT_EQ(Ref.Z, 0.0f);
}

TEST(Acotations, SideWallsAreNumberedAlongTheDepth)
{
    TRoom Room;
    TAcotationManager M;
    M.SetRoom(&Room);
    // X = W wall: two in the far half, one in the near half; listener on the
    // X = 0 wall near its far end.
    Place(Room, Point3D(0, 6, 1.1f), Point3D(4.53f, 7, 0.65f), Point3D(4.53f, 5, 0.65f));
    M.Build();
    ASSERT_EQ(M.Count(), 3);
    EXPECT_EQ(M.GetCote(0)->Surface(), rsWallX0);
    EXPECT_EQ(M.GetCote(0)->Level(), 1);
    EXPECT_FLOAT_EQ(M.GetCote(1)->Position().Y, 5.0f);
    EXPECT_EQ(M.GetCote(1)->Level(), 2);
    EXPECT_FLOAT_EQ(M.GetCote(2)->Position().Y, 7.0f);
    EXPECT_EQ(M.GetCote(2)->Level(), 1);
    const TPoint3D Ref = M.ReferencePoint(*M.GetCote(2));
    EXPECT_FLOAT_EQ(Ref.X, 4.53f);
    EXPECT_FLOAT_EQ(Ref.Y, 7.33f);
    // Not on a wall: the origin.
    const TCote Free(Point3D(3, 6, 1), rsNone);
    EXPECT_EQ(M.ReferencePoint(Free).X, 0.0f);
    EXPECT_EQ(M.ReferencePoint(Free).Y, 0.0f);
}

TEST(Acotations, WallDimensionLinesAreStackedOutsideTheWall)
{
    PlanAt100 P;
    Place(P.Room, Point3D(0.5f, 0, 1.0f), Point3D(1.2f, 0, 0.65f), Point3D(4.0f, 0, 0.65f));
    const std::vector<std::string> Calls = P.Draw();
    // WallSize 5: level 1 runs 17 pixels outside the inner face, level 2 29.
    EXPECT_THAT(Calls, Contains("polyline 10,10 10,-7 60,-7 60,10"));
    EXPECT_THAT(Calls, Contains("polyline 10,10 10,-19 130,-19 130,10"));
    EXPECT_THAT(Calls, Contains("polyline 463,10 463,-7 410,-7 410,10"));
    // Texts centred on their line: 6 px per character, 13 high.
    EXPECT_THAT(Calls, Contains("text 26,-14 0.5"));
    EXPECT_THAT(Calls, Contains("text 61,-26 1.2"));
    EXPECT_THAT(Calls, Contains("text 424,-14 0.53"));
    // Height labels below the elements on the wall Y = 0.
    EXPECT_THAT(Calls, Contains("text 39,20 Alt : 1"));
    EXPECT_THAT(Calls, Contains("text 100,20 Alt : 0.65"));
    EXPECT_EQ(Calls.front(), "pen FFFFFF");
    EXPECT_EQ(Calls.back(), "penstyle 0");
    EXPECT_THAT(Calls, Not(Contains("penstyle 2")));

    P.View.SetWallSize(3);
    EXPECT_THAT(P.Draw(), Contains("polyline 10,10 10,-5 60,-5 60,10"));
}

TEST(Acotations, FreeElementsMeasureToTheNearestWalls)
{
    PlanAt100 P;
    const float X = P.Room.GetWidth() / 2.0f + 0.005f;
    const float Y = P.Room.GetDepth() / 2.0f + 0.005f;
    Place(P.Room, Point3D(X, Y, 1.1f), Point3D(0, 1, 0.65f), Point3D(4.53f, 1, 0.65f));
    const std::vector<std::string> Calls = P.Draw();
    // X within the 0.01 m allowance: measured from X = 0; Y has none: from
    // Y = D.
    EXPECT_THAT(Calls, Contains("line 237,377 10,377"));
    EXPECT_THAT(Calls, Contains("line 237,377 237,743"));
    EXPECT_THAT(Calls, Contains("text 111,370 2.27"));
    EXPECT_THAT(Calls, Contains("text 225,553 3.66"));
    // Height label to the right of the element.
    EXPECT_THAT(Calls, Contains("text 254,371 Alt : 1.1"));
    EXPECT_THAT(Calls, Contains("penstyle 2"));

    // Past the allowance the label moves to the left and X counts from W.
    Place(P.Room, Point3D(3.5f, 2, 1.1f), Point3D(0, 1, 0.65f), Point3D(4.53f, 1, 0.65f));
    const std::vector<std::string> Right = P.Draw();
    EXPECT_THAT(Right, Contains("line 360,210 463,210"));
    EXPECT_THAT(Right, Contains("text 289,204 Alt : 1.1"));
}

TEST(Acotations, HeightLabelOnlyAboveOneCentimetre)
{
    PlanAt100 P;
    Place(P.Room, Point3D(2, 3, 0.01f), Point3D(1, 2, 0.02f), Point3D(3, 2, 0.0f));
    const std::vector<std::string> Calls = P.Draw();
    int Labels = 0;
    for (const std::string& C : Calls)
        if (C.find("Alt :") != std::string::npos)
            ++Labels;
    EXPECT_EQ(Labels, 1);
    EXPECT_THAT(Calls, Contains("text 127,204 Alt : 0.02"));
}

TEST(Acotations, PenIsTheInvertedBackground)
{
    PlanAt100 P;
    P.View.SetBackgroundColor(RGB(204, 0, 204));
    const std::vector<std::string> Calls = P.Draw();
    ASSERT_GE(Calls.size(), 2u);
    EXPECT_EQ(Calls[0], "pen 33FF33");
    EXPECT_EQ(Calls[1], "brush CC00CC");
}
