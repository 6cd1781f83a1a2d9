#include "model/ModeSPL.h"

#include <cmath>
#include <cstring>
#include <exception>
#include <numbers>
#include <system_error>
#include <thread>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "model/Utilities.h"

float KindWeight(TModeKind Kind)
{
    switch (Kind) {
    case mkAxial: return 1.0f;
    case mkTangential: return 0.5f;
    case mkOblique: return 0.25f;
    case mkNone: break;
    }
    return 0.0f;
}

TWeightedMode WeightMode(const TMode& Mode)
{
    return TWeightedMode{Mode.NX(), Mode.NY(), Mode.NZ(), KindWeight(Mode.GetKind())};
}

float MeanModePressure(const TRoom& Room, const std::vector<TWeightedMode>& Modes, const TPoint3D& P)
{
    float Sum = 0.0f;
    float Weight = 0.0f;
    for (const TWeightedMode& M : Modes) {
        Sum += Room.GetModePressure(P, M.NX, M.NY, M.NZ) * M.Weight;
        Weight += M.Weight;
    }
    return Weight > 0.0f ? Sum / Weight : Sum;
}

namespace {

TPoint3D GridPoint(const TPressureGrid& Grid, std::size_t Column, std::size_t Row)
{
    float C[3] = {0.0f, 0.0f, 0.0f};
    C[Grid.ColumnAxis] = Grid.Columns[Column];
    C[Grid.RowAxis] = Grid.Rows[Row];
    return Point3D(C[0], C[1], C[2]);
}

// Runs Work(First, End) over 0 .. Count, split between this thread and one
// helper when the job (Cost units in all) is large enough to repay starting
// a thread.
template <typename TWork>
void InParallel(std::size_t Count, std::size_t Cost, TWork Work)
{
    if (Count < 2 || Cost < 40000 || std::thread::hardware_concurrency() < 2) {
        Work(std::size_t{0}, Count);
        return;
    }
    const std::size_t Half = Count / 2;
    // A failure on either thread (out of memory) reaches the caller after
    // both have finished.
    std::exception_ptr HelperFailure;
    std::thread Helper;
    try {
        Helper = std::thread([&] {
            try {
                Work(Half, Count);
            } catch (...) {
                HelperFailure = std::current_exception();
            }
        });
    } catch (const std::system_error&) {
        Work(std::size_t{0}, Count);
        return;
    }
    try {
        Work(std::size_t{0}, Half);
    } catch (...) {
        Helper.join();
        throw;
    }
    Helper.join();
    if (HelperFailure)
        std::rethrow_exception(HelperFailure);
}

// One axis's factor |cos(N pi c / L)| with the very steps of the room's
// GetModePressure (degrees rounded to float, cosine in long double, the
// product rounded to float), so that a table of them holds exactly the
// first factor that GetModePressure forms.
float AxisFactor(int N, float Coordinate, float Length)
{
    if (N <= 0)
        return 1.0f;
    const float Degrees = static_cast<float>(static_cast<long double>(N) * Coordinate * 180.0L / Length);
    return std::fabs(static_cast<float>(std::cos(static_cast<long double>(Degrees) * std::numbers::pi_v<long double> / 180.0L)));
}

// The same float, mostly without the costly long double cosine: the float
// angle in degrees is folded exactly into 0 .. 180 and its cosine taken in
// double, off the true value by far less than 1e-14. When every number that
// close rounds to the same float, that float is the one the long double
// cosine gives too; otherwise (about one angle in three million) the long
// double path decides.
float AxisFactorTable(int N, float Coordinate, float Length)
{
    if (N <= 0)
        return 1.0f;
    const float Degrees = static_cast<float>(static_cast<long double>(N) * Coordinate * 180.0L / Length);
    double D = std::fabs(static_cast<double>(Degrees));
    if (!(D < 1e9))
        return AxisFactor(N, Coordinate, Length);
    D -= 360.0 * std::floor(D / 360.0); // exact: D has at most 24 significant bits
    if (D > 180.0)
        D = 360.0 - D;
    const double Cosine = std::cos(D * (std::numbers::pi / 180.0));
    constexpr double Margin = 1e-14;
    const float Low = static_cast<float>(Cosine - Margin);
    if (Low != static_cast<float>(Cosine + Margin))
        return AxisFactor(N, Coordinate, Length);
    return std::fabs(Low);
}

// The grid value of every point is
//   sum over modes of w * |a(Na, column)| * |b(Nb, row)| * |h(Nh, 0)|
// (a, b the column and row axes, h the axis the grid does not show). Modes
// sharing (Na, Nb) share one coefficient C[Na][Nb] = sum of w * |h(Nh, 0)|;
// per row the inner sum over Nb collapses to one number per Na, and a pixel
// costs one multiply-add per distinct Na, over contiguous columns.
class TGridEvaluator {
public:
    TGridEvaluator(const TRoom& Room, const std::vector<TWeightedMode>& Modes, const TPressureGrid& Grid)
        : FColumns(Grid.Columns.size()), FRows(Grid.Rows.size())
    {
        const float Extent[3] = {Room.GetWidth(), Room.GetDepth(), Room.GetHeight()};
        const int A = Grid.ColumnAxis;
        const int B = Grid.RowAxis;
        const int H = 3 - A - B;
        std::vector<int> IndexA, IndexB;
        struct TTerm {
            std::size_t I, J;
            float Coefficient;
        };
        std::vector<TTerm> Terms;
        const auto Slot = [](std::vector<int>& List, int N) {
            for (std::size_t K = 0; K < List.size(); ++K)
                if (List[K] == N)
                    return K;
            List.push_back(N);
            return List.size() - 1;
        };
        for (const TWeightedMode& M : Modes) {
            const int N[3] = {M.NX, M.NY, M.NZ};
            FWeight += M.Weight;
            Terms.push_back({Slot(IndexA, N[A]), Slot(IndexB, N[B]), M.Weight * AxisFactor(N[H], 0.0f, Extent[H])});
        }
        FCountA = IndexA.size();
        FCountB = IndexB.size();
        FCoefficients.assign(FCountA * FCountB, 0.0f);
        for (const TTerm& T : Terms)
            FCoefficients[T.I * FCountB + T.J] += T.Coefficient;
        // The cosines are most of the set-up: both threads share them, one
        // table line (one index over all coordinates) at a time.
        FTableA.resize(FCountA * FColumns);
        FTableB.resize(FCountB * FRows);
        const std::size_t Lines = FCountA + FCountB;
        InParallel(Lines, FTableA.size() + FTableB.size(), [&](std::size_t First, std::size_t End) {
            for (std::size_t K = First; K < End; ++K) {
                if (K < FCountA) {
                    for (std::size_t C = 0; C < FColumns; ++C)
                        FTableA[K * FColumns + C] = AxisFactorTable(IndexA[K], Grid.Columns[C], Extent[A]);
                } else {
                    const std::size_t J = K - FCountA;
                    for (std::size_t R = 0; R < FRows; ++R)
                        FTableB[R * FCountB + J] = AxisFactorTable(IndexB[J], Grid.Rows[R], Extent[B]);
                }
            }
        });
    }

    std::size_t Columns() const { return FColumns; }
    std::size_t Rows() const { return FRows; }

    // The values of row R into Out (Columns() floats); Inner is scratch
    // space of FCountA floats. Built twice, for plain x86-64 and for AVX2
    // (chosen when the program starts): the same operations in the same
    // order, so both give the same floats.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
    __attribute__((target_clones("avx2", "default")))
#endif
    void Row(std::size_t R, float* Out, std::vector<float>& Inner) const
    {
        const std::size_t CountA = FCountA;
        const std::size_t CountB = FCountB;
        const std::size_t Columns = FColumns;
        Inner.resize(CountA);
        float* InnerA = Inner.data();
        const float* FactorB = FTableB.data() + R * CountB;
        for (std::size_t I = 0; I < CountA; ++I) {
            float S = 0.0f;
            const float* Coefficient = FCoefficients.data() + I * CountB;
            for (std::size_t J = 0; J < CountB; ++J)
                S += Coefficient[J] * FactorB[J];
            InnerA[I] = S;
        }
        // Dividing by 1 when there is no weight leaves the plain sum.
        const float Divisor = FWeight > 0.0f ? FWeight : 1.0f;
        const float* TableA = FTableA.data();
        // Blocks of columns whose sums stay in registers across all Na.
        constexpr std::size_t Block = 16;
        std::size_t C0 = 0;
        for (; C0 + Block <= Columns; C0 += Block) {
            float Sum[Block] = {};
            for (std::size_t I = 0; I < CountA; ++I) {
                const float Bi = InnerA[I];
                const float* Table = TableA + I * Columns + C0;
                for (std::size_t K = 0; K < Block; ++K)
                    Sum[K] += Table[K] * Bi;
            }
            for (std::size_t K = 0; K < Block; ++K)
                Out[C0 + K] = Sum[K] / Divisor;
        }
        for (std::size_t C = C0; C < Columns; ++C) {
            float Sum = 0.0f;
            for (std::size_t I = 0; I < CountA; ++I)
                Sum += TableA[I * Columns + C] * InnerA[I];
            Out[C] = Sum / Divisor;
        }
    }

private:
    std::size_t FColumns;
    std::size_t FRows;
    std::size_t FCountA = 0;
    std::size_t FCountB = 0;
    float FWeight = 0.0f;
    std::vector<float> FCoefficients; // FCountA x FCountB
    std::vector<float> FTableA;       // FCountA x FColumns
    std::vector<float> FTableB;       // FRows x FCountB
};

// ValueToRGB of each level 0 .. 1275. Its colour depends on V only through
// the level lrint(1275 V): within a 0.2 segment each channel is a constant or
// lrint(1275 V) less a multiple of 255, and neighbouring segments meet in the
// same colour. The only float V that falls on a tie is 0.5, whose colour
// ValueToRGB gives itself in the extra entry TieLevel.
constexpr int TieLevel = 1276;

struct TLevelColours {
    // Red, green, blue and one spare byte, so that a colour is one 4-byte copy.
    std::uint8_t RGB[TieLevel + 1][4];
    TLevelColours()
    {
        for (int L = 0; L <= 1275; ++L)
            ValueToRGB(static_cast<float>(L / 1275.0), RGB[L][0], RGB[L][1], RGB[L][2]);
        ValueToRGB(0.5f, RGB[TieLevel][0], RGB[TieLevel][1], RGB[TieLevel][2]);
        for (auto& C : RGB)
            C[3] = 0;
    }
};

// The level of V clamped into 0 .. 1 (NaN as 0): 1275 V is exact in double
// and never a tie but for V = 0.5, so adding one half and truncating rounds
// it as lrint would.
int LevelOf(float V)
{
    if (V == 0.5f)
        return TieLevel;
    V = V >= 0.0f ? V : 0.0f;
    V = V > 1.0f ? 1.0f : V;
    return static_cast<int>(static_cast<double>(V) * 1275.0 + 0.5);
}

void ToLevels(const float* Values, std::size_t Count, int* Level)
{
    std::size_t C = 0;
#if defined(__SSE2__)
    // LevelOf four values at a time; max and min with the value first give
    // the second operand for NaN, as LevelOf does.
    const __m128 Zero = _mm_setzero_ps();
    const __m128 One = _mm_set1_ps(1.0f);
    const __m128 Half = _mm_set1_ps(0.5f);
    const __m128d Scale = _mm_set1_pd(1275.0);
    const __m128d Round = _mm_set1_pd(0.5);
    const __m128i Tie = _mm_set1_epi32(TieLevel);
    for (; C + 4 <= Count; C += 4) {
        const __m128 Raw = _mm_loadu_ps(Values + C);
        const __m128 V = _mm_min_ps(_mm_max_ps(Raw, Zero), One);
        const __m128i Low = _mm_cvttpd_epi32(_mm_add_pd(_mm_mul_pd(_mm_cvtps_pd(V), Scale), Round));
        const __m128i High =
            _mm_cvttpd_epi32(_mm_add_pd(_mm_mul_pd(_mm_cvtps_pd(_mm_movehl_ps(V, V)), Scale), Round));
        const __m128i Levels = _mm_unpacklo_epi64(Low, High);
        const __m128i IsTie = _mm_castps_si128(_mm_cmpeq_ps(Raw, Half));
        const __m128i Result = _mm_or_si128(_mm_and_si128(IsTie, Tie), _mm_andnot_si128(IsTie, Levels));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(Level + C), Result);
    }
#endif
    for (; C < Count; ++C)
        Level[C] = LevelOf(Values[C]);
}

void ToColours(const float* Values, std::size_t Count, std::uint8_t* Out, std::vector<int>& Levels)
{
    static const TLevelColours Colours;
    if (Count == 0)
        return;
    Levels.resize(Count);
    ToLevels(Values, Count, Levels.data());
    const int* Level = Levels.data();
    // Each 4-byte copy spills one byte into the next pixel, which the next
    // copy overwrites; the last pixel gets its three bytes alone, so nothing
    // past the row is touched.
    for (std::size_t C = 0; C + 1 < Count; ++C)
        std::memcpy(Out + 3 * C, Colours.RGB[Level[C]], 4);
    std::memcpy(Out + 3 * (Count - 1), Colours.RGB[Level[Count - 1]], 3);
}

} // namespace

std::vector<float> MeanModePressureGrid(const TRoom& Room, const std::vector<TWeightedMode>& Modes,
                                        const TPressureGrid& Grid)
{
    std::vector<float> Values(Grid.Columns.size() * Grid.Rows.size());
    if (Values.empty())
        return Values;
    if (Grid.ColumnAxis == Grid.RowAxis) {
        // Not a plane: no shortcut, point by point.
        for (std::size_t R = 0; R < Grid.Rows.size(); ++R)
            for (std::size_t C = 0; C < Grid.Columns.size(); ++C)
                Values[R * Grid.Columns.size() + C] = MeanModePressure(Room, Modes, GridPoint(Grid, C, R));
        return Values;
    }
    const TGridEvaluator Evaluator(Room, Modes, Grid);
    InParallel(Evaluator.Rows(), Evaluator.Rows() * Evaluator.Columns(), [&](std::size_t First, std::size_t End) {
        std::vector<float> Inner;
        for (std::size_t R = First; R < End; ++R)
            Evaluator.Row(R, &Values[R * Evaluator.Columns()], Inner);
    });
    return Values;
}

void RenderPressureGrid(const TRoom& Room, const std::vector<TWeightedMode>& Modes, const TPressureGrid& Grid,
                        std::uint8_t* Pixels, std::ptrdiff_t Stride)
{
    if (Grid.Columns.empty() || Grid.Rows.empty())
        return;
    if (Grid.ColumnAxis == Grid.RowAxis) {
        const std::vector<float> Values = MeanModePressureGrid(Room, Modes, Grid);
        std::vector<int> Levels;
        for (std::size_t R = 0; R < Grid.Rows.size(); ++R)
            ToColours(&Values[R * Grid.Columns.size()], Grid.Columns.size(),
                      Pixels + static_cast<std::ptrdiff_t>(R) * Stride, Levels);
        return;
    }
    const TGridEvaluator Evaluator(Room, Modes, Grid);
    InParallel(Evaluator.Rows(), Evaluator.Rows() * Evaluator.Columns(), [&](std::size_t First, std::size_t End) {
        std::vector<float> Inner;
        std::vector<float> Line(Evaluator.Columns());
        std::vector<int> Levels;
        for (std::size_t R = First; R < End; ++R) {
            Evaluator.Row(R, Line.data(), Inner);
            ToColours(Line.data(), Line.size(), Pixels + static_cast<std::ptrdiff_t>(R) * Stride, Levels);
        }
    });
}
