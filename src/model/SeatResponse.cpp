#include "model/SeatResponse.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double Pi = std::numbers::pi;

bool Valid(const TRoomBox& Box)
{
    return Box.Width > 0.0 && Box.Depth > 0.0 && Box.Height > 0.0 && Box.SpeedOfSound > 0.0;
}

// cos(n pi C / L) for n = 0 .. Count - 1.
void Cosines(double C, double L, int Count, std::vector<double>& Out)
{
    Out.resize(static_cast<std::size_t>(Count));
    for (int N = 0; N < Count; ++N)
        Out[static_cast<std::size_t>(N)] = std::cos(N * Pi * C / L);
}

struct TIndexRange {
    int X = 0;
    int Y = 0;
    int Z = 0;
};

TIndexRange Highest(std::span<const TSeatMode> Modes)
{
    TIndexRange R;
    for (const TSeatMode& M : Modes) {
        R.X = std::max(R.X, M.NX);
        R.Y = std::max(R.Y, M.NY);
        R.Z = std::max(R.Z, M.NZ);
    }
    return R;
}

// Sum over Sources of psi_n(source), as per-axis tables indexed [source][n].
struct TSourceTables {
    std::vector<std::vector<double>> X, Y, Z;
};

TSourceTables SourceTables(std::span<const TPoint3D> Sources, const TRoomBox& Box, const TIndexRange& R)
{
    TSourceTables T;
    for (const TPoint3D& S : Sources) {
        T.X.emplace_back();
        T.Y.emplace_back();
        T.Z.emplace_back();
        Cosines(S.X, Box.Width, R.X + 1, T.X.back());
        Cosines(S.Y, Box.Depth, R.Y + 1, T.Y.back());
        Cosines(S.Z, Box.Height, R.Z + 1, T.Z.back());
    }
    return T;
}

double SourceShape(const TSourceTables& T, const TSeatMode& M)
{
    double Sum = 0.0;
    for (std::size_t S = 0; S < T.X.size(); ++S)
        Sum += T.X[S][static_cast<std::size_t>(M.NX)] * T.Y[S][static_cast<std::size_t>(M.NY)] *
               T.Z[S][static_cast<std::size_t>(M.NZ)];
    return Sum;
}

double PopulationStdDev(std::span<const double> V)
{
    if (V.empty())
        return 0.0;
    double Mean = 0.0;
    for (double X : V)
        Mean += X;
    Mean /= static_cast<double>(V.size());
    double Sq = 0.0;
    for (double X : V)
        Sq += (X - Mean) * (X - Mean);
    return std::sqrt(Sq / static_cast<double>(V.size()));
}

// 10 log10 |P|^2, with the floor of LevelDb.
double PowerDb(double Re, double Im)
{
    const double P2 = Re * Re + Im * Im;
    return P2 > 0.0 ? 10.0 * std::log10(P2) : -400.0;
}

} // namespace

std::vector<TSeatMode> SeatModes(const TRoomBox& Box, double MaxFrequency)
{
    std::vector<TSeatMode> Modes;
    if (!Valid(Box) || !(MaxFrequency >= 0.0))
        return Modes;
    const double Half = Box.SpeedOfSound / 2.0;
    const int MX = static_cast<int>(std::floor(MaxFrequency / Half * Box.Width));
    const int MY = static_cast<int>(std::floor(MaxFrequency / Half * Box.Depth));
    const int MZ = static_cast<int>(std::floor(MaxFrequency / Half * Box.Height));
    for (int X = 0; X <= MX; ++X)
        for (int Y = 0; Y <= MY; ++Y)
            for (int Z = 0; Z <= MZ; ++Z) {
                const double A = X / Box.Width, B = Y / Box.Depth, C = Z / Box.Height;
                const double F = Half * std::sqrt(A * A + B * B + C * C);
                if (F > MaxFrequency)
                    continue;
                const double E = (X == 0 ? 1.0 : 2.0) * (Y == 0 ? 1.0 : 2.0) * (Z == 0 ? 1.0 : 2.0);
                Modes.push_back(TSeatMode{X, Y, Z, F, E});
            }
    std::stable_sort(Modes.begin(), Modes.end(),
                     [](const TSeatMode& L, const TSeatMode& R) { return L.Frequency < R.Frequency; });
    return Modes;
}

std::vector<double> LogFrequencies(double Low, double High, int PerOctave)
{
    std::vector<double> F;
    if (!(Low > 0.0) || !(High >= Low) || PerOctave <= 0)
        return F;
    for (int K = 0;; ++K) {
        const double V = Low * std::exp2(static_cast<double>(K) / PerOctave);
        if (V > High * (1.0 + 1e-9))
            break;
        F.push_back(V);
    }
    return F;
}

double SchroederFrequency(const TRoomBox& Box, double T60)
{
    return 1849.0 * std::sqrt(T60 / (Box.Width * Box.Depth * Box.Height));
}

void SeatPressure(std::span<const TSeatMode> Modes, const TRoomBox& Box, std::span<const TPoint3D> Sources,
                  const TPoint3D& Receiver, double T60, std::span<const double> Frequencies,
                  std::vector<std::complex<double>>& Out)
{
    Out.assign(Frequencies.size(), std::complex<double>(0.0, 0.0));
    if (!Valid(Box) || Modes.empty())
        return;
    const TIndexRange R = Highest(Modes);
    const TSourceTables S = SourceTables(Sources, Box, R);
    std::vector<double> RX, RY, RZ;
    Cosines(Receiver.X, Box.Width, R.X + 1, RX);
    Cosines(Receiver.Y, Box.Depth, R.Y + 1, RY);
    Cosines(Receiver.Z, Box.Height, R.Z + 1, RZ);

    // Each mode's numerator, once; a mode either end does not excite is left
    // out of the frequency loop.
    std::vector<double> Numerator, Omega2;
    Numerator.reserve(Modes.size());
    Omega2.reserve(Modes.size());
    for (const TSeatMode& M : Modes) {
        const double A = M.Epsilon * SourceShape(S, M) * RX[static_cast<std::size_t>(M.NX)] *
                         RY[static_cast<std::size_t>(M.NY)] * RZ[static_cast<std::size_t>(M.NZ)];
        if (A == 0.0)
            continue;
        const double W = 2.0 * Pi * M.Frequency;
        Numerator.push_back(A);
        Omega2.push_back(W * W);
    }
    const double Delta = ModeDamping(T60);
    const std::size_t N = Numerator.size();
    for (std::size_t K = 0; K < Frequencies.size(); ++K) {
        const double W = 2.0 * Pi * Frequencies[K];
        const double W2 = W * W;
        const double B = 2.0 * Delta * W;
        const double B2 = B * B;
        double Re = 0.0, Im = 0.0;
        for (std::size_t I = 0; I < N; ++I) {
            // A / (a + jb) = A (a - jb) / (a^2 + b^2)
            const double A = Omega2[I] - W2;
            const double Scale = Numerator[I] / (A * A + B2);
            Re += Scale * A;
            Im -= Scale * B;
        }
        Out[K] = std::complex<double>(Re, Im);
    }
}

double LevelDb(std::complex<double> P) { return PowerDb(P.real(), P.imag()); }

const TSeatCurve& TSeatResponse::Compute(const TRoomBox& Box, std::span<const TPoint3D> Sources,
                                         const TPoint3D& Receiver, double T60)
{
    if (FModes.empty() || Box.Width != FBox.Width || Box.Depth != FBox.Depth || Box.Height != FBox.Height ||
        Box.SpeedOfSound != FBox.SpeedOfSound) {
        FBox = Box;
        FModes = SeatModes(Box, SeatModeReach * SeatHighFrequency);
    }
    if (FCurve.Frequencies.empty())
        FCurve.Frequencies = LogFrequencies(SeatLowFrequency, SeatHighFrequency, SeatStepsPerOctave);
    SeatPressure(FModes, Box, Sources, Receiver, T60, FCurve.Frequencies, FPressure);
    FCurve.Levels.resize(FPressure.size());
    double Sum = 0.0;
    for (std::size_t K = 0; K < FPressure.size(); ++K) {
        FCurve.Levels[K] = LevelDb(FPressure[K]);
        Sum += FCurve.Levels[K];
    }
    FCurve.MeanLevel = FPressure.empty() ? 0.0 : Sum / static_cast<double>(FPressure.size());
    for (double& L : FCurve.Levels)
        L -= FCurve.MeanLevel;
    return FCurve;
}

double FlatnessOf(std::span<const std::complex<double>> P)
{
    std::vector<double> L(P.size());
    for (std::size_t K = 0; K < P.size(); ++K)
        L[K] = LevelDb(P[K]);
    return PopulationStdDev(L);
}

float TFlatnessMap::At(double X, double Y) const
{
    if (Columns <= 0 || Rows <= 0)
        return 0.0f;
    // Sample I sits at (I + 0.5) * Width / Columns.
    const double FX = std::clamp(X / Width * Columns - 0.5, 0.0, static_cast<double>(Columns - 1));
    const double FY = std::clamp(Y / Depth * Rows - 0.5, 0.0, static_cast<double>(Rows - 1));
    const int X0 = static_cast<int>(FX), Y0 = static_cast<int>(FY);
    const int X1 = std::min(X0 + 1, Columns - 1), Y1 = std::min(Y0 + 1, Rows - 1);
    const double TX = FX - X0, TY = FY - Y0;
    auto V = [this](int C, int R) {
        return static_cast<double>(StdDb[static_cast<std::size_t>(R) * static_cast<std::size_t>(Columns) +
                                         static_cast<std::size_t>(C)]);
    };
    const double Top = V(X0, Y0) + (V(X1, Y0) - V(X0, Y0)) * TX;
    const double Bottom = V(X0, Y1) + (V(X1, Y1) - V(X0, Y1)) * TX;
    return static_cast<float>(Top + (Bottom - Top) * TY);
}

TFlatnessMap FlatnessMap(const TRoomBox& Box, std::span<const TPoint3D> Sources, float Z, double T60,
                         int MaxSamples)
{
    TFlatnessMap Map;
    if (!Valid(Box))
        return Map;
    Map.Width = Box.Width;
    Map.Depth = Box.Depth;
    Map.TopFrequency = std::min(SchroederFrequency(Box, T60), SeatHighFrequency);
    const std::vector<double> F = LogFrequencies(FlatLowFrequency, Map.TopFrequency, FlatStepsPerOctave);
    Map.Frequencies = static_cast<int>(F.size());
    const std::vector<TSeatMode> Modes = SeatModes(Box, SeatModeReach * std::max(Map.TopFrequency, FlatLowFrequency));
    const TIndexRange R = Highest(Modes);
    MaxSamples = std::max(MaxSamples, 2);
    Map.Columns = std::clamp(8 * (R.X + 1), std::min(24, MaxSamples), MaxSamples);
    Map.Rows = std::clamp(8 * (R.Y + 1), std::min(24, MaxSamples), MaxSamples);
    const std::size_t NF = F.size(), NX = static_cast<std::size_t>(R.X + 1), NY = static_cast<std::size_t>(R.Y + 1);

    // The field factorises over the plan: p(x, y, f) =
    //   sum_nx cos(nx pi x / W) sum_ny cos(ny pi y / D) B(nx, ny, f), with
    // B gathering each column of modes (every nz) with its source shape and
    // its height factor at Z. B once, the inner sum once per row, the outer
    // one per sample.
    const TSourceTables S = SourceTables(Sources, Box, R);
    std::vector<double> CZ;
    Cosines(Z, Box.Height, R.Z + 1, CZ);
    std::vector<double> BRe(NX * NY * NF, 0.0), BIm(NX * NY * NF, 0.0);
    const double Delta = ModeDamping(T60);
    for (const TSeatMode& M : Modes) {
        const double A = M.Epsilon * SourceShape(S, M) * CZ[static_cast<std::size_t>(M.NZ)];
        if (A == 0.0)
            continue;
        const double WN = 2.0 * Pi * M.Frequency;
        const std::size_t Base = (static_cast<std::size_t>(M.NX) * NY + static_cast<std::size_t>(M.NY)) * NF;
        for (std::size_t K = 0; K < NF; ++K) {
            const double W = 2.0 * Pi * F[K];
            const double a = WN * WN - W * W, b = 2.0 * Delta * W;
            const double Scale = A / (a * a + b * b);
            BRe[Base + K] += Scale * a;
            BIm[Base + K] -= Scale * b;
        }
    }

    Map.StdDb.assign(static_cast<std::size_t>(Map.Rows) * static_cast<std::size_t>(Map.Columns), 0.0f);
    std::vector<std::vector<double>> CX(static_cast<std::size_t>(Map.Columns));
    for (int C = 0; C < Map.Columns; ++C)
        Cosines((C + 0.5) * Box.Width / Map.Columns, Box.Width, R.X + 1, CX[static_cast<std::size_t>(C)]);
    std::vector<double> CY, RowRe(NX * NF), RowIm(NX * NF), Levels(NF);
    std::size_t BestIndex = 0;
    for (int Row = 0; Row < Map.Rows; ++Row) {
        Cosines((Row + 0.5) * Box.Depth / Map.Rows, Box.Depth, R.Y + 1, CY);
        std::fill(RowRe.begin(), RowRe.end(), 0.0);
        std::fill(RowIm.begin(), RowIm.end(), 0.0);
        for (std::size_t X = 0; X < NX; ++X)
            for (std::size_t Y = 0; Y < NY; ++Y) {
                const double C = CY[Y];
                const std::size_t Base = (X * NY + Y) * NF;
                for (std::size_t K = 0; K < NF; ++K) {
                    RowRe[X * NF + K] += C * BRe[Base + K];
                    RowIm[X * NF + K] += C * BIm[Base + K];
                }
            }
        for (int Col = 0; Col < Map.Columns; ++Col) {
            const std::vector<double>& C = CX[static_cast<std::size_t>(Col)];
            for (std::size_t K = 0; K < NF; ++K) {
                double Re = 0.0, Im = 0.0;
                for (std::size_t X = 0; X < NX; ++X) {
                    Re += C[X] * RowRe[X * NF + K];
                    Im += C[X] * RowIm[X * NF + K];
                }
                Levels[K] = PowerDb(Re, Im);
            }
            const std::size_t I = static_cast<std::size_t>(Row) * static_cast<std::size_t>(Map.Columns) +
                                  static_cast<std::size_t>(Col);
            Map.StdDb[I] = static_cast<float>(PopulationStdDev(Levels));
            if (Map.StdDb[I] < Map.StdDb[BestIndex])
                BestIndex = I;
        }
    }
    const auto [Lo, Hi] = std::minmax_element(Map.StdDb.begin(), Map.StdDb.end());
    Map.MinStdDb = *Lo;
    Map.MaxStdDb = *Hi;
    Map.BestStdDb = Map.StdDb[BestIndex];
    const int BestCol = static_cast<int>(BestIndex % static_cast<std::size_t>(Map.Columns));
    const int BestRow = static_cast<int>(BestIndex / static_cast<std::size_t>(Map.Columns));
    Map.Best = TPoint3D{static_cast<float>((BestCol + 0.5) * Box.Width / Map.Columns),
                        static_cast<float>((BestRow + 0.5) * Box.Depth / Map.Rows), Z};
    return Map;
}

void RenderFlatness(const TFlatnessMap& Map, int Width, int Height, std::vector<float>& Out)
{
    Out.assign(static_cast<std::size_t>(std::max(Width, 0)) * static_cast<std::size_t>(std::max(Height, 0)), 0.0f);
    if (Width <= 0 || Height <= 0 || Map.Columns <= 0)
        return;
    for (int Y = 0; Y < Height; ++Y) {
        const double PY = (Y + 0.5) * Map.Depth / Height;
        for (int X = 0; X < Width; ++X)
            Out[static_cast<std::size_t>(Y) * static_cast<std::size_t>(Width) + static_cast<std::size_t>(X)] =
                Map.At((X + 0.5) * Map.Width / Width, PY);
    }
}
