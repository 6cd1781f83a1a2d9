#include "model/ModeSPL.h"

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

} // namespace

std::vector<float> MeanModePressureGrid(const TRoom& Room, const std::vector<TWeightedMode>& Modes,
                                        const TPressureGrid& Grid)
{
    std::vector<float> Values(Grid.Columns.size() * Grid.Rows.size());
    for (std::size_t R = 0; R < Grid.Rows.size(); ++R)
        for (std::size_t C = 0; C < Grid.Columns.size(); ++C)
            Values[R * Grid.Columns.size() + C] = MeanModePressure(Room, Modes, GridPoint(Grid, C, R));
    return Values;
}

void RenderPressureGrid(const TRoom& Room, const std::vector<TWeightedMode>& Modes, const TPressureGrid& Grid,
                        std::uint8_t* Pixels, std::ptrdiff_t Stride)
{
    const std::vector<float> Values = MeanModePressureGrid(Room, Modes, Grid);
    const std::size_t N = Grid.Columns.size();
    for (std::size_t R = 0; R < Grid.Rows.size(); ++R) {
        std::uint8_t* Line = Pixels + static_cast<std::ptrdiff_t>(R) * Stride;
        for (std::size_t C = 0; C < N; ++C)
            ValueToRGB(Values[R * N + C], Line[3 * C], Line[3 * C + 1], Line[3 * C + 2]);
    }
}
