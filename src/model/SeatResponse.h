#pragma once
// The low-frequency response at a listening seat, and how flat it would be at
// every point of a plan, from the room's damped modal sum.
//
// A point source in a rigid rectangular room of W x D x H metres gives at the
// receiver, at angular frequency w = 2 pi f, the pressure (the room's Green's
// function expanded in its normal modes, as in the modal-theory chapter of
// H. Kuttruff, "Room Acoustics"):
//
//     p(f) = sum_n  e_n psi_n(source) psi_n(receiver) / (w_n^2 - w^2 + 2 j d w)
//
//     psi_n(x, y, z) = cos(nx pi x / W) cos(ny pi y / D) cos(nz pi z / H)   (signed)
//     e_n = e_nx e_ny e_nz, e = 1 for a zero index and 2 otherwise
//     w_n = 2 pi f_n, f_n = (c / 2) sqrt((nx/W)^2 + (ny/D)^2 + (nz/H)^2)
//     d = 6.91 / T60  (each mode's half-power bandwidth is then 2.2 / T60 Hz)
//
// The (0,0,0) term is included. Several sources fed the same signal add with
// their phase: their psi_n(source) add before the division. The level is
// 20 log10 |p| (an arbitrary but fixed reference; only differences matter).
//
// Standard C++ only; stateless; any thread.

#include <complex>
#include <span>
#include <vector>

#include "model/Common.h"

// The box the modes live in.
struct TRoomBox {
    double Width = 0.0;  // X, metres
    double Depth = 0.0;  // Y
    double Height = 0.0; // Z
    double SpeedOfSound = 0.0; // m/s
};

struct TSeatMode {
    int NX = 0;
    int NY = 0;
    int NZ = 0;
    double Frequency = 0.0; // Hz
    double Epsilon = 1.0;   // e_n
};

// The curve's band and resolution.
inline constexpr double SeatLowFrequency = 15.0;
inline constexpr double SeatHighFrequency = 300.0;
inline constexpr int SeatStepsPerOctave = 48;
// Modes up to this multiple of the band's top enter the sum, so that the band
// edge is not shaped by a missing mode.
inline constexpr double SeatModeReach = 1.5;
// The flatness band: from 20 Hz up to the lower of the Schroeder frequency
// and 300 Hz, at 1/12 octave.
inline constexpr double FlatLowFrequency = 20.0;
inline constexpr int FlatStepsPerOctave = 12;

// Every mode of Box with f_n <= MaxFrequency, (0,0,0) first, ascending by
// frequency. Empty for a box without positive sides or speed of sound.
std::vector<TSeatMode> SeatModes(const TRoomBox& Box, double MaxFrequency);

// Low * 2^(k / PerOctave) for k = 0, 1, ... while not above High (within a
// part in 10^9, so that an exact octave count reaches High).
std::vector<double> LogFrequencies(double Low, double High, int PerOctave);

// 6.91 / T60 (1/s). T60 must be positive.
inline double ModeDamping(double T60) { return 6.91 / T60; }

// 1849 sqrt(T60 / volume), the room's own rule.
double SchroederFrequency(const TRoomBox& Box, double T60);

// The modal sum at Receiver from Sources (summed in phase) at each of
// Frequencies, into Out (resized). Modes outside the list do not take part.
void SeatPressure(std::span<const TSeatMode> Modes, const TRoomBox& Box, std::span<const TPoint3D> Sources,
                  const TPoint3D& Receiver, double T60, std::span<const double> Frequencies,
                  std::vector<std::complex<double>>& Out);

// 20 log10 |P|; a pressure of exactly 0 reads as -400 dB.
double LevelDb(std::complex<double> P);

// The response curve the seat window draws: levels in dB at the 1/48-octave
// points from 15 to 300 Hz, shifted so that their mean is 0 dB.
struct TSeatCurve {
    std::vector<double> Frequencies;
    std::vector<double> Levels;
    double MeanLevel = 0.0; // the level (absolute) that reads 0 dB
};

// Reusable: the mode table is kept between calls while Box is unchanged.
class TSeatResponse {
public:
    const TSeatCurve& Compute(const TRoomBox& Box, std::span<const TPoint3D> Sources, const TPoint3D& Receiver,
                              double T60);
    const TSeatCurve& Curve() const { return FCurve; }
    const std::vector<TSeatMode>& Modes() const { return FModes; }

private:
    TRoomBox FBox{};
    std::vector<TSeatMode> FModes;
    std::vector<std::complex<double>> FPressure;
    TSeatCurve FCurve;
};

// Population standard deviation (dB) of the levels of P.
double FlatnessOf(std::span<const std::complex<double>> P);

// How flat the response would be for a seat at each point of the plan at
// one height: the standard deviation in dB of the levels over the flatness
// band, sampled at the centres of a Columns x Rows grid over the plan
// (X across, Y down the rows). The grid is fine enough for the pressure
// field (at least 8 samples per half-wave of the highest mode along each
// axis), so values between samples are read by bilinear interpolation.
struct TFlatnessMap {
    int Columns = 0;
    int Rows = 0;
    double Width = 0.0;
    double Depth = 0.0;
    std::vector<float> StdDb; // row-major, Rows x Columns
    TPoint3D Best{0.0f, 0.0f, 0.0f}; // the sample with the lowest deviation
    float BestStdDb = 0.0f;
    float MinStdDb = 0.0f;
    float MaxStdDb = 0.0f;
    double TopFrequency = 0.0; // the band's top
    // Points in the band; 0 when the Schroeder frequency lies below 20 Hz
    // (a hall: no modal band to judge), every deviation then reads 0.
    int Frequencies = 0;

    // Interpolated deviation at (X, Y) metres, clamped to the sample area.
    float At(double X, double Y) const;
};

// The map for Sources at height Z with damping from T60. MaxSamples caps
// the grid along each axis.
TFlatnessMap FlatnessMap(const TRoomBox& Box, std::span<const TPoint3D> Sources, float Z, double T60,
                         int MaxSamples = 256);

// The map read at the centres of a Width x Height pixel raster covering the
// plan (row-major into Out).
void RenderFlatness(const TFlatnessMap& Map, int Width, int Height, std::vector<float>& Out);
