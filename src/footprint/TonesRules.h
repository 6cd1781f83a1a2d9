#pragma once
// The rules of the modes window as plain functions over plain data: which
// kinds to list, the texts of the mode table, which rows conflict, the names
// of the track set's files and the longest tone that can be made. Standard
// C++ only; the window turns its events into calls of these.
//
// Numbers are formatted with FormatShort (the global locale's decimal
// separator, read at the call).

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "model/Modes.h"

// The kinds the check boxes ask for; none ticked means axial alone.
TModeKinds ModeKindsOf(bool Axial, bool Tangential, bool Oblique);

// A copy of the manager's modes in list order.
std::vector<TMode> ModeList(const TModeManager& Modes);

// Cells 0 .. 5 of the table rows 1 .. Modes.size(), one entry per mode:
// row number; "f Hz"; the mode text; difference to the row above in Hz and
// in % (empty for the first row); for an axial mode the distance between a
// pressure maximum and the next node, L x 50 / n rounded halves to even,
// as "N cm" (L = Width for NX, Depth for NY, Height for NZ, in metres).
using TModeRowTexts = std::array<std::string, 6>;
std::vector<TModeRowTexts> ModeRowTexts(const std::vector<TMode>& Modes, float Width, float Depth, float Height);

// Table rows (row = mode index + 1) that conflict selection marks: an axial
// mode whose frequency lies less than 5 % (held as float) above that of the
// previous axial mode. Other kinds are skipped and leave the comparison as it
// was.
std::vector<int> ConflictRows(const std::vector<TMode>& Modes);

// "01" .. "09", then "10", "11", ..., "100".
std::string TrackNumber(int Row);
// "NN - Base (p,q,r) F Hz.wav" for table row Row.
std::string TrackName(int Row, const std::string& Base, const TMode& Mode);

// The parts of the name chosen in the save dialog that the track set uses.
struct TTrackSetNames {
    std::string Folder;    // with its trailing '/', empty for a bare name
    std::string Base;      // the name without folder and extension
    std::string ListFile;  // Folder + Base + "s.txt"
};
TTrackSetNames TrackSetNames(const std::string& ChosenFile);

// The longest duration, in whole seconds, whose stereo 16-bit samples at
// SampleRate both fit a signed 32-bit sample count and a WAV file's 32-bit
// size fields (24 347 s at 44 100 samples per second).
int MaxToneSeconds(int SampleRate);
// A message for the user when Seconds is longer than that; none otherwise
// (zero and negative durations make an empty tone, which is allowed).
std::optional<std::string> DurationRefusal(int Seconds, int SampleRate);
