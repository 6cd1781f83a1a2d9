#include "footprint/Exports.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>
#include <system_error>

#include "model/Utilities.h"

namespace {

std::string OneLine(std::string Cell)
{
    for (char& C : Cell)
        if (C == '\t' || C == '\r' || C == '\n')
            C = ' ';
    return Cell;
}

std::string CsvField(const std::string& Field)
{
    if (Field.find_first_of(",\"\r\n") == std::string::npos)
        return Field;
    std::string Q = "\"";
    for (const char C : Field) {
        if (C == '"')
            Q += '"';
        Q += C;
    }
    return Q + '"';
}

void AppendCsvLine(std::string& Out, const std::vector<std::string>& Fields)
{
    for (std::size_t I = 0; I < Fields.size(); ++I) {
        if (I > 0)
            Out += ',';
        Out += CsvField(Fields[I]);
    }
    Out += "\r\n";
}

std::string TwoDigits(int N)
{
    return (N < 10 ? "0" : "") + std::to_string(N);
}

}  // namespace

std::string TableText(const std::vector<std::string>& Header, const std::vector<TExportRow>& Rows)
{
    std::string Out;
    const auto Line = [&Out](const std::vector<std::string>& Cells) {
        for (std::size_t I = 0; I < Cells.size(); ++I) {
            if (I > 0)
                Out += '\t';
            Out += OneLine(Cells[I]);
        }
        Out += "\r\n";
    };
    if (!Header.empty())
        Line(Header);
    for (const TExportRow& R : Rows)
        Line(R.Cells);
    return Out;
}

std::string ModeKindWord(TModeKind Kind)
{
    switch (Kind) {
    case mkAxial: return "axial";
    case mkTangential: return "tangencial";
    case mkOblique: return "oblicuo";
    case mkNone: break;
    }
    return {};
}

std::string PlainNumber(float Value)
{
    char Buffer[64];
    const auto R = std::to_chars(Buffer, Buffer + sizeof Buffer, Value);
    return R.ec == std::errc() ? std::string(Buffer, R.ptr) : std::string();
}

std::string TableCsv(const std::vector<std::string>& Header, const std::vector<TExportRow>& Rows)
{
    std::string Out;
    std::vector<std::string> Fields = Header;
    Fields.emplace_back("Frecuencia (Hz)");
    Fields.emplace_back("Tipo");
    AppendCsvLine(Out, Fields);
    for (const TExportRow& R : Rows) {
        Fields = R.Cells;
        Fields.push_back(R.Mode != nullptr ? PlainNumber(R.Mode->GetFrequency()) : std::string());
        Fields.push_back(R.Mode != nullptr ? ModeKindWord(R.Mode->GetKind()) : std::string());
        AppendCsvLine(Out, Fields);
    }
    return Out;
}

std::string CueFileName(const std::string& ListFile, int Disc)
{
    const std::size_t Slash = ListFile.find_last_of('/');
    const std::size_t Dot = ListFile.find_last_of('.');
    const std::string Stem =
        Dot == std::string::npos || (Slash != std::string::npos && Dot < Slash) ? ListFile : ListFile.substr(0, Dot);
    return Disc <= 1 ? Stem + ".cue" : Stem + " (disco " + std::to_string(Disc) + ").cue";
}

std::string CueSheet(const std::vector<std::string>& TrackNames, const std::vector<const TMode*>& Modes)
{
    if (TrackNames.size() > static_cast<std::size_t>(CdMaxTracks) || TrackNames.size() != Modes.size())
        throw std::invalid_argument("Una hoja CUE admite como mucho 99 pistas.");
    std::string Out;
    for (std::size_t I = 0; I < TrackNames.size(); ++I) {
        const std::string Title = Modes[I]->ModeToStr() + " " + FormatShort(Modes[I]->GetFrequency()) + " Hz";
        if (TrackNames[I].find('"') != std::string::npos || Title.find('"') != std::string::npos)
            throw std::invalid_argument("El nombre de pista " + TrackNames[I]
                                        + " lleva comillas, que una hoja CUE no puede contener: las pistas y su lista"
                                        " están escritas, la hoja CUE no.");
        Out += "FILE \"" + TrackNames[I] + "\" WAVE\r\n";
        Out += "  TRACK " + TwoDigits(static_cast<int>(I) + 1) + " AUDIO\r\n";
        Out += "    TITLE \"" + Title + "\"\r\n";
        Out += "    INDEX 01 00:00:00\r\n";
    }
    return Out;
}

std::string PlayingTime(long long Seconds)
{
    if (Seconds < 0)
        Seconds = 0;
    const long long H = Seconds / 3600;
    const int M = static_cast<int>(Seconds / 60 % 60);
    const int S = static_cast<int>(Seconds % 60);
    if (H == 0)
        return std::to_string(Seconds / 60) + ":" + TwoDigits(S);
    return std::to_string(H) + ":" + TwoDigits(M) + ":" + TwoDigits(S);
}

TCdPlan PlanCd(int Tracks, int Seconds)
{
    TCdPlan Plan;
    if (Tracks <= 0)
        return Plan;
    Plan.Burnable = Seconds >= CdMinTrackSeconds && Seconds <= CdMaxSeconds;
    const int PerDisc = Plan.Burnable ? std::min(CdMaxTracks, CdMaxSeconds / Seconds) : CdMaxTracks;
    for (int First = 1; First <= Tracks; First += PerDisc)
        Plan.Discs.emplace_back(First, std::min(Tracks, First + PerDisc - 1));
    Plan.Fits = Plan.Burnable && Plan.Discs.size() == 1;
    const long long Total = static_cast<long long>(Tracks) * std::max(Seconds, 0);
    const std::string Count = std::to_string(Tracks) + (Tracks == 1 ? " pista" : " pistas");
    // Short enough for the window's one-line hint.
    if (Plan.Fits) {
        Plan.Message = "Cabe en un CD de audio: " + Count + ", " + PlayingTime(Total) + " en total.";
        return Plan;
    }
    std::string Why;
    std::string Do;
    if (!Plan.Burnable) {
        Why = Seconds < CdMinTrackSeconds ? "pistas de " + std::to_string(std::max(Seconds, 0)) + " s (mín. 4 s)"
                                          : "cada pista pasa de 80 min";
        Do = Seconds < CdMinTrackSeconds ? "elija 4 s o más" : "elija una duración más corta";
    } else {
        Why = Tracks > CdMaxTracks ? Count + " (máx. 99)" : PlayingTime(Total) + " (máx. 80 min)";
    }
    if (Plan.Discs.size() > 1) {
        std::string Split = "marque menos tipos o grabe " + std::to_string(Plan.Discs.size()) + " discos: pistas ";
        for (std::size_t D = 0; D < Plan.Discs.size(); ++D)
            Split += (D > 0 ? ", " : "") + std::to_string(Plan.Discs[D].first) + "-" + std::to_string(Plan.Discs[D].second);
        Do = (Do.empty() ? std::string() : Do + " y ") + Split;
    }
    Do[0] = static_cast<char>(Do[0] - 'a' + 'A');
    Plan.Message = "No cabe en un CD: " + Why + ". " + Do + ".";
    return Plan;
}

std::vector<std::pair<std::string, std::string>> CueSheets(const std::string& ListFile, const std::string& List,
                                                           const std::vector<TMode>& Modes, int Seconds)
{
    std::vector<std::string> Names;
    for (std::size_t Start = 0; Start < List.size();) {
        const std::size_t End = List.find("\r\n", Start);
        Names.push_back(List.substr(Start, End == std::string::npos ? std::string::npos : End - Start));
        Start = End == std::string::npos ? List.size() : End + 2;
    }
    const std::size_t Tracks = std::min(Names.size(), Modes.size());
    std::vector<std::pair<std::string, std::string>> Sheets;
    const TCdPlan Plan = PlanCd(static_cast<int>(Tracks), Seconds);
    for (std::size_t D = 0; D < Plan.Discs.size(); ++D) {
        std::vector<std::string> DiscNames;
        std::vector<const TMode*> DiscModes;
        for (int R = Plan.Discs[D].first; R <= Plan.Discs[D].second; ++R) {
            DiscNames.push_back(Names[static_cast<std::size_t>(R - 1)]);
            DiscModes.push_back(&Modes[static_cast<std::size_t>(R - 1)]);
        }
        Sheets.emplace_back(CueFileName(ListFile, static_cast<int>(D) + 1), CueSheet(DiscNames, DiscModes));
    }
    return Sheets;
}
