#pragma once
// The modes window's results as text for other programs: the mode table as
// tab-separated text for the clipboard and as a CSV file, the track set as a
// CUE sheet for burning programs, and whether the set fits audio CDs.
// Standard C++ only, so that the track-set job can use it on its thread.

#include <string>
#include <utility>
#include <vector>

#include "model/Modes.h"

// One table row as shown (cells in column order) and the mode behind it.
struct TExportRow {
    std::vector<std::string> Cells;
    const TMode* Mode = nullptr;
};

// Lines of tab-separated cells, each ended by CRLF: the header line first
// when Header is not empty. Tabs and line breaks inside a cell become spaces,
// so a cell never splits.
std::string TableText(const std::vector<std::string>& Header, const std::vector<TExportRow>& Rows);

// RFC 4180 CSV (CRLF line ends, every field quoted only when it holds a comma,
// a quote or a line break, quotes doubled): the shown columns as shown, then
// "Frecuencia (Hz)" as a plain number with a full stop whatever the locale
// (the shortest text that reads back as the same float) and "Tipo", the kind
// as a word: "axial", "tangencial" or "oblicuo".
std::string TableCsv(const std::vector<std::string>& Header, const std::vector<TExportRow>& Rows);

// "axial", "tangencial", "oblicuo" (empty for no kind).
std::string ModeKindWord(TModeKind Kind);
// The float's shortest round-trip text, full stop as decimal separator.
std::string PlainNumber(float Value);

// The CUE sheet's name beside the track list: the list's name with its
// extension replaced by ".cue" ("Bases.txt" gives "Bases.cue"); a set that
// needs more discs gets one sheet per disc, "Bases (disco 2).cue" and so on.
std::string CueFileName(const std::string& ListFile, int Disc = 1);
// One FILE "<track>" WAVE, TRACK nn AUDIO (from 01), TITLE "<mode text> <f>
// Hz" and INDEX 01 00:00:00 per track, in order, CRLF line ends. The file
// names are the tracks' names without folder (the sheet lies beside them).
// Throws std::invalid_argument for more than 99 tracks or for a name that
// holds a double quote, which a CUE sheet cannot carry.
std::string CueSheet(const std::vector<std::string>& TrackNames, const std::vector<const TMode*>& Modes);

// Audio CD limits: tracks per disc, shortest track, playing time per disc
// (an 80-minute disc).
constexpr int CdMaxTracks = 99;
constexpr int CdMinTrackSeconds = 4;
constexpr int CdMaxSeconds = 80 * 60;

struct TCdPlan {
    bool Fits = false;            // one disc holds the whole set as it is
    bool Burnable = false;        // every track is long enough for a CD
    // Tracks (from 1) per disc, first and last: at most 99 a disc and, when
    // the tracks are burnable, no more than 80 minutes.
    std::vector<std::pair<int, int>> Discs;
    std::string Message;          // for the user, Spanish
};
// How a set of Tracks tracks of Seconds each goes onto audio CDs.
TCdPlan PlanCd(int Tracks, int Seconds);
// "m:ss", or "h:mm:ss" from an hour on.
std::string PlayingTime(long long Seconds);

// The CUE sheets of a track set, (file name, text) in disc order, as PlanCd
// splits it: List is the track list's text (one track name per CRLF line,
// row order), Modes the table's modes in the same order. Throws as CueSheet.
std::vector<std::pair<std::string, std::string>> CueSheets(const std::string& ListFile, const std::string& List,
                                                           const std::vector<TMode>& Modes, int Seconds);
