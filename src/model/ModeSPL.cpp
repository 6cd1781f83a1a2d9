#include "model/ModeSPL.h"

#include <cmath>
#include <numbers>
#include <system_error>
#include <thread>

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
    std::thread Helper;
    try {
        Helper = std::thread([&] { Work(Half, Count); });
    } catch (const std::system_error&) {
        Work(std::size_t{0}, Count);
        return;
    }
    Work(std::size_t{0}, Half);
    Helper.join();
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
                        FTableA[K * FColumns + C] = AxisFactor(IndexA[K], Grid.Columns[C], Extent[A]);
                } else {
                    const std::size_t J = K - FCountA;
                    for (std::size_t R = 0; R < FRows; ++R)
                        FTableB[J * FRows + R] = AxisFactor(IndexB[J], Grid.Rows[R], Extent[B]);
                }
            }
        });
    }

    std::size_t Columns() const { return FColumns; }
    std::size_t Rows() const { return FRows; }

    // The values of row R into Out (Columns() floats); Inner is scratch
    // space of FCountA floats.
    void Row(std::size_t R, float* Out, std::vector<float>& Inner) const
    {
        Inner.assign(FCountA, 0.0f);
        for (std::size_t I = 0; I < FCountA; ++I) {
            float S = 0.0f;
            const float* Coefficient = &FCoefficients[I * FCountB];
            for (std::size_t J = 0; J < FCountB; ++J)
                S += Coefficient[J] * FTableB[J * FRows + R];
            Inner[I] = S;
        }
        // Blocks of columns whose sums stay in registers across all Na.
        constexpr std::size_t Block = 16;
        std::size_t C0 = 0;
        for (; C0 + Block <= FColumns; C0 += Block) {
            float Sum[Block] = {};
            for (std::size_t I = 0; I < FCountA; ++I) {
                const float Bi = Inner[I];
                const float* Table = &FTableA[I * FColumns + C0];
                for (std::size_t K = 0; K < Block; ++K)
                    Sum[K] += Table[K] * Bi;
            }
            for (std::size_t K = 0; K < Block; ++K)
                Out[C0 + K] = Sum[K];
        }
        for (std::size_t C = C0; C < FColumns; ++C) {
            float Sum = 0.0f;
            for (std::size_t I = 0; I < FCountA; ++I)
                Sum += FTableA[I * FColumns + C] * Inner[I];
            Out[C] = Sum;
        }
        if (FWeight > 0.0f) {
            const float Weight = FWeight;
            for (std::size_t C = 0; C < FColumns; ++C)
                Out[C] /= Weight;
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
    std::vector<float> FTableB;       // FCountB x FRows
};

// ValueToRGB of each level 0 .. 1275. Its colour depends on V only through
// the level lrint(1275 V): within a 0.2 segment each channel is a constant or
// lrint(1275 V) less a multiple of 255, and neighbouring segments meet in the
// same colour. The only float V that falls on a tie is 0.5, which the caller
// hands to ValueToRGB itself.
struct TLevelColours {
    std::uint8_t RGB[1276][3];
    TLevelColours()
    {
        for (int L = 0; L <= 1275; ++L)
            ValueToRGB(static_cast<float>(L / 1275.0), RGB[L][0], RGB[L][1], RGB[L][2]);
    }
};

void ToColours(const float* Values, std::size_t Count, std::uint8_t* Out)
{
    static const TLevelColours Levels;
    for (std::size_t C = 0; C < Count; ++C, Out += 3) {
        float V = Values[C];
        if (!(V >= 0.0f))
            V = 0.0f;
        else if (V > 1.0f)
            V = 1.0f;
        if (V == 0.5f) {
            ValueToRGB(V, Out[0], Out[1], Out[2]);
            continue;
        }
        // 1275 V is exact in double and never a tie here, so adding one half
        // and truncating rounds it as lrint would.
        const auto Level = static_cast<int>(static_cast<double>(V) * 1275.0 + 0.5);
        Out[0] = Levels.RGB[Level][0];
        Out[1] = Levels.RGB[Level][1];
        Out[2] = Levels.RGB[Level][2];
    }
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
        for (std::size_t R = 0; R < Grid.Rows.size(); ++R)
            ToColours(&Values[R * Grid.Columns.size()], Grid.Columns.size(),
                      Pixels + static_cast<std::ptrdiff_t>(R) * Stride);
        return;
    }
    const TGridEvaluator Evaluator(Room, Modes, Grid);
    InParallel(Evaluator.Rows(), Evaluator.Rows() * Evaluator.Columns(), [&](std::size_t First, std::size_t End) {
        std::vector<float> Inner;
        std::vector<float> Line(Evaluator.Columns());
        for (std::size_t R = First; R < End; ++R) {
            Evaluator.Row(R, Line.data(), Inner);
            ToColours(Line.data(), Line.size(), Pixels + static_cast<std::ptrdiff_t>(R) * Stride);
        }
    });
}
