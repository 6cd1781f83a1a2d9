#include "footprint/TonesRules.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "audio/Audio.h"
#include "model/Utilities.h"

TModeKinds ModeKindsOf(bool Axial, bool Tangential, bool Oblique)
{
    TModeKinds K;
    if (Axial)
        K.Include(mkAxial);
    if (Tangential)
        K.Include(mkTangential);
    if (Oblique)
        K.Include(mkOblique);
    return K.Empty() ? TModeKinds{mkAxial} : K;
}

std::vector<TMode> ModeList(const TModeManager& Modes)
{
    std::vector<TMode> List;
    List.reserve(static_cast<std::size_t>(Modes.Count()));
    for (int I = 0; I < Modes.Count(); ++I)
        List.push_back(*Modes.GetMode(I));
    return List;
}

std::vector<TModeRowTexts> ModeRowTexts(const std::vector<TMode>& Modes, float Width, float Depth, float Height)
{
    std::vector<TModeRowTexts> Rows;
    Rows.reserve(Modes.size());
    float P = -1.0f;
    for (std::size_t I = 0; I < Modes.size(); ++I) {
        const TMode& M = Modes[I];
        const float F = M.GetFrequency();
        TModeRowTexts R;
        R[0] = std::to_string(I + 1);
        R[1] = FormatShort(F) + " Hz";
        R[2] = M.ModeToStr();
        if (P > 0) {
            const long double D = static_cast<long double>(F) - P;
            R[3] = FormatShort(static_cast<float>(D)) + " Hz";
            R[4] = FormatShort(static_cast<float>(D * 100 / P)) + " %";
        }
        if (M.GetKind() == mkAxial) {
            const float L = M.NX() > 0 ? Width : M.NY() > 0 ? Depth : Height;
            const int N = M.NX() > 0 ? M.NX() : M.NY() > 0 ? M.NY() : M.NZ();
            const long double Cm = std::nearbyint(static_cast<long double>(L) * 50 / N);
            R[5] = std::to_string(static_cast<long long>(Cm)) + " cm";
        }
        Rows.push_back(std::move(R));
        P = F;
    }
    return Rows;
}

std::vector<int> ConflictRows(const std::vector<TMode>& Modes)
{
    std::vector<int> Rows;
    float Q = -1.0f;
    for (std::size_t I = 0; I < Modes.size(); ++I) {
        if (Modes[I].GetKind() != mkAxial)
            continue;
        const float F = Modes[I].GetFrequency();
        if (Q > 0 && static_cast<float>((static_cast<long double>(F) - Q) * 100 / Q) < 5.0f)
            Rows.push_back(static_cast<int>(I) + 1);
        Q = F;
    }
    return Rows;
}

std::string TrackNumber(int Row)
{
    return (Row < 10 ? "0" : "") + std::to_string(Row);
}

std::string TrackName(int Row, const std::string& Base, const TMode& Mode)
{
    return TrackNumber(Row) + " - " + Base + " " + Mode.ModeToStr() + " " + FormatShort(Mode.GetFrequency()) + " Hz.wav";
}

TTrackSetNames TrackSetNames(const std::string& ChosenFile)
{
    TTrackSetNames N;
    const std::size_t Slash = ChosenFile.find_last_of('/');
    N.Folder = Slash == std::string::npos ? std::string() : ChosenFile.substr(0, Slash + 1);
    const std::string Name = Slash == std::string::npos ? ChosenFile : ChosenFile.substr(Slash + 1);
    const std::size_t Dot = Name.find_last_of('.');
    N.Base = Dot == std::string::npos ? Name : Name.substr(0, Dot);
    N.ListFile = N.Folder + N.Base + "s.txt";
    return N;
}

int MaxToneSeconds(int SampleRate)
{
    if (SampleRate <= 0)
        return std::numeric_limits<int>::max();
    // Two 16-bit samples per frame.
    const long long BySampleCount = std::numeric_limits<std::int32_t>::max() / 2 / SampleRate;
    const long long ByWaveSize = TRecorder::MaxWaveDataBytes / (4LL * SampleRate);
    return static_cast<int>(std::min(BySampleCount, ByWaveSize));
}

std::optional<std::string> DurationRefusal(int Seconds, int SampleRate)
{
    const int Max = MaxToneSeconds(SampleRate);
    if (Seconds <= Max)
        return std::nullopt;
    return "La duración de " + std::to_string(Seconds) + " s es demasiado larga: un tono o una pista WAV puede durar "
           "como mucho " + std::to_string(Max) + " s. No se ha escrito nada.";
}
