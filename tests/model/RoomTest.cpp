#include <gtest/gtest.h>

#include <cmath>

#include "model/Room.h"
#include "model/Utilities.h"

namespace {

void ExpectAt(const TItem& Item, float X, float Y, float Z)
{
    const TPoint3D P = Item.GetPosition();
    EXPECT_FLOAT_EQ(P.X, X) << Item.Name();
    EXPECT_FLOAT_EQ(P.Y, Y) << Item.Name();
    EXPECT_FLOAT_EQ(P.Z, Z) << Item.Name();
}

TEST(Room, FreshRoom)
{
    TRoom Room;
    EXPECT_EQ(Room.GetWidth(), 4.53f);
    EXPECT_EQ(Room.GetDepth(), 7.33f);
    EXPECT_EQ(Room.GetHeight(), 2.8f);
    EXPECT_EQ(Room.GetTemperature(), 24.0f);
    EXPECT_EQ(Room.GetReverbTime(), 0.5f);
    EXPECT_EQ(FormatShort(Room.GetSpeedOfSound()), "345.4");
    EXPECT_EQ(FormatShort(Room.GetSchroederFrequency()), "135.59");
    EXPECT_EQ(FormatShort(Room.GetVolume()), "92.97");

    EXPECT_EQ(Room.Listener().Name(), "Oyente");
    ExpectAt(Room.Listener(), 0, 0, 1.1f);
    const TSpeakerManager& S = Room.Speakers();
    ASSERT_EQ(S.Count(), 2);
    EXPECT_EQ(S.FindByChannel(0)->Name(), "Altavoz izquierdo");
    EXPECT_EQ(S.FindByChannel(1)->Name(), "Altavoz derecho");
    EXPECT_EQ(S.FindByChannel(0), S.GetSpeaker(0));
    EXPECT_EQ(S.FindByChannel(2), nullptr);
    EXPECT_EQ(S.GetSpeaker(2), nullptr);
    EXPECT_EQ(S.GetSpeaker(-1), nullptr);
    EXPECT_EQ(S.GetSpeaker(0)->Color(), RGB(255, 255, 255));
    EXPECT_EQ(S.GetSpeaker(1)->Color(), RGB(255, 0, 0));
    for (int I = 0; I < 2; ++I)
        ExpectAt(*Room.Speakers().GetSpeaker(I), 0, 0, 0.65f);
}

TEST(Room, DimensionLimits)
{
    TRoom Room;
    (void)Room.GetSchroederFrequency();
    Room.SetWidth(0.25f);
    EXPECT_EQ(Room.GetWidth(), 4.53f);
    EXPECT_FALSE(Room.IsDirty()) << "an ignored value leaves the cache valid";
    Room.SetWidth(0.26f);
    EXPECT_EQ(Room.GetWidth(), 0.26f);
    EXPECT_TRUE(Room.IsDirty());
    Room.SetDepth(-3.0f);
    Room.SetHeight(0.0f);
    EXPECT_EQ(Room.GetDepth(), 7.33f);
    EXPECT_EQ(Room.GetHeight(), 2.8f);

    // Nothing larger than a real listening room gets in: the mode list of a
    // kilometre-sized hall would not fit in memory.
    for (const float Huge : {1000.0f, 1e9f, TRoom::MaxDimension * 1.001f}) {
        Room.SetWidth(Huge);
        Room.SetDepth(Huge);
        Room.SetHeight(Huge);
    }
    EXPECT_EQ(Room.GetWidth(), 0.26f);
    EXPECT_EQ(Room.GetDepth(), 7.33f);
    EXPECT_EQ(Room.GetHeight(), 2.8f);
    Room.SetDepth(TRoom::MaxDimension);
    EXPECT_EQ(Room.GetDepth(), TRoom::MaxDimension);
}

TEST(Room, SpeedOfSoundFollowsTemperature)
{
    TRoom Room;
    Room.SetTemperature(-10.0f);
    EXPECT_EQ(Room.GetSpeedOfSound(), 325.0f);
    Room.SetTemperature(0.0f);
    EXPECT_EQ(Room.GetSpeedOfSound(), 331.0f);
    Room.SetTemperature(20.0f);
    EXPECT_EQ(FormatShort(Room.GetSpeedOfSound()), "343");
    Room.SetTemperature(-1000.0f); // stored as given, however unphysical
    EXPECT_EQ(Room.GetTemperature(), -1000.0f);
    EXPECT_EQ(Room.GetSpeedOfSound(), -269.0f);
}

TEST(Room, SchroederFrequencyIsCachedUntilAChange)
{
    TRoom Room;
    EXPECT_TRUE(Room.IsDirty());
    const float First = Room.GetSchroederFrequency();
    EXPECT_FALSE(Room.IsDirty());
    EXPECT_EQ(Room.GetSchroederFrequency(), First);
    EXPECT_FALSE(Room.IsDirty());

    // Doubling the volume divides the frequency by the square root of two.
    Room.SetDepth(7.33f * 2);
    EXPECT_TRUE(Room.IsDirty());
    EXPECT_NEAR(Room.GetSchroederFrequency(), First / std::sqrt(2.0f), 1e-3);
    EXPECT_EQ(FormatShort(Room.GetSchroederFrequency()), "95.88");

    Room.SetTemperature(30.0f);
    EXPECT_TRUE(Room.IsDirty());
    Room.SetDefaults();
    EXPECT_TRUE(Room.IsDirty());
    EXPECT_EQ(Room.GetSchroederFrequency(), First);
}

TEST(Room, ModePressure)
{
    TRoom Room;
    const float W = Room.GetWidth();
    const float D = Room.GetDepth();
    const float H = Room.GetHeight();
    for (const TPoint3D P : {Point3D(0, 0, 0), Point3D(1.3f, 2.2f, 0.7f), Point3D(W, D, H)})
        EXPECT_EQ(Room.GetModePressure(P, 0, 0, 0), 1.0f);

    EXPECT_EQ(Room.GetModePressure(Point3D(0, 3, 1), 1, 0, 0), 1.0f);
    EXPECT_FLOAT_EQ(Room.GetModePressure(Point3D(W, 3, 1), 1, 0, 0), 1.0f);
    EXPECT_NEAR(Room.GetModePressure(Point3D(W / 2, 3, 1), 1, 0, 0), 0.0f, 1e-6);
    // Every corner is a pressure maximum of every mode.
    EXPECT_FLOAT_EQ(Room.GetModePressure(Point3D(W, D, H), 3, 5, 2), 1.0f);
    EXPECT_FLOAT_EQ(Room.GetModePressure(Point3D(0, D, 0), 2, 7, 1), 1.0f);

    // The product of the three cosines, against the closed form.
    const TPoint3D P = Point3D(1.234f, 5.678f, 0.9f);
    const double Expected = std::fabs(std::cos(2 * M_PI * 1.234 / W) * std::cos(3 * M_PI * 5.678 / D) *
                                      std::cos(1 * M_PI * 0.9 / H));
    EXPECT_NEAR(Room.GetModePressure(P, 2, 3, 1), Expected, 2e-6);
    // A nodal plane of the Y index silences the whole mode.
    EXPECT_NEAR(Room.GetModePressure(Point3D(1, D / 4, 1), 1, 2, 1), 0.0f, 1e-6);
}

TEST(Room, MovingASpeakerMirrorsItsPartner)
{
    TRoom Room;
    TSpeaker& Left = *Room.Speakers().FindByChannel(0);
    TSpeaker& Right = *Room.Speakers().FindByChannel(1);
    Left.SetPosition(Point3D(1.0f, 2.0f, 0.9f));
    Room.ItemMoved(Left);
    ExpectAt(Right, 3.53f, 2.0f, 0.9f);

    Right.SetPosition(Point3D(4.0f, 1.5f, 0.3f));
    Room.ItemMoved(Right);
    EXPECT_EQ(Left.GetPosition().X, static_cast<float>(static_cast<long double>(4.53f) - 4.0L));
    EXPECT_EQ(Left.GetPosition().Y, 1.5f);
    EXPECT_EQ(Left.GetPosition().Z, 0.3f);

    const TPoint3D Before = Left.GetPosition();
    Room.Listener().SetPosition(Point3D(2, 2, 2));
    Room.ItemMoved(Room.Listener());
    ExpectAt(Left, Before.X, Before.Y, Before.Z);
}

TEST(Room, ClampingKeepsElementsInside)
{
    TRoom Room;
    TItem& L = Room.Listener();
    L.SetPosition(Point3D(-0.3f, 9.0f, 3.5f));
    Room.Speakers().GetSpeaker(0)->SetPosition(Point3D(5.0f, -1.0f, -0.1f));
    Room.Speakers().GetSpeaker(1)->SetPosition(Point3D(NAN, 1.0f, 1.0f));
    Room.ClampElements();
    ExpectAt(L, 0.0f, 7.33f, 2.8f);
    ExpectAt(*Room.Speakers().GetSpeaker(0), 4.53f, 0.0f, 0.0f);
    ExpectAt(*Room.Speakers().GetSpeaker(1), 0.0f, 1.0f, 1.0f);

    L.MoveBy(Point3D(0.01f, -0.01f, 0.0f));
    ExpectAt(L, 0.01f, 7.32f, 2.8f);
}

TEST(Room, Surfaces)
{
    TRoom Room;
    const struct {
        TPoint3D P;
        TRoomSurface S;
    } Cases[] = {
        {{0, 0, 0}, rsWallX0},          {{2, 3, 0.005f}, rsFloor},     {{0.02f, 3, 1}, rsNone},
        {{4.53f, 0, 0}, rsWallXW},      {{4.525f, 3, 1}, rsWallXW},    {{2, 0, 0}, rsWallY0},
        {{2, 7.33f, 2.8f}, rsWallYD},   {{2, 3, 2.8f}, rsCeiling},     {{2, 3, 2.791f}, rsCeiling},
        {{2, 3, 2.78f}, rsNone},        {{0.0099f, 3, 1}, rsWallX0},   {{-0.005f, 3, 1}, rsWallX0},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(Room.GetSurface(C.P), C.S) << Point3DToStr(C.P);
}

} // namespace
