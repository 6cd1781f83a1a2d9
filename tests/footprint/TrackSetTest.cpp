// The track set job: file names, WAV contents read back by libsndfile, the
// list file byte for byte, refusals, a write failure and cancelling.

#include <atomic>
#include <filesystem>

#include "audio/AudioTestSupport.h"
#include "footprint/ToneGenerator.h"
#include "footprint/TonesRules.h"
#include "footprint/TrackSet.h"

namespace {

namespace fs = std::filesystem;

class TrackSetTest : public TTempDirTest {
protected:
    TTrackSetRequest Request(std::vector<TMode> Modes, int Seconds)
    {
        TTrackSetRequest R;
        R.Modes = std::move(Modes);
        R.Seconds = Seconds;
        R.Level = -6.0f;
        const TTrackSetNames N = TrackSetNames(FDir.path().toStdString() + "/Test.wav");
        R.Folder = N.Folder;
        R.Base = N.Base;
        R.ListFile = N.ListFile;
        return R;
    }
    std::string In(const std::string& Name) const { return FDir.path().toStdString() + "/" + Name; }
    std::vector<std::string> FolderFiles() const
    {
        std::vector<std::string> Names;
        for (const auto& E : fs::directory_iterator(FDir.path().toStdString()))
            Names.push_back(E.path().filename().string());
        std::sort(Names.begin(), Names.end());
        return Names;
    }
    // The samples of one steady mode as the tone generator makes them.
    static std::vector<std::int16_t> ToneSamples(float F, int Seconds)
    {
        TMemoryStream S;
        TToneGenerator G(&S);
        G.Add(std::make_unique<TTone>(tkLinearSweep, F, F, 0.0f));
        G.SetLevel(-6.0f);
        G.Generate(44100, static_cast<float>(Seconds));
        return AsSamples(S.Data());
    }

    const std::vector<TMode> Modes{TMode(0, 1, 0, 23.4f), TMode(1, 0, 0, 37.85f), TMode(1, 1, 0, 44.5f)};
    const std::vector<std::string> Names{"01 - Test (1,0,0) 23.4 Hz.wav", "02 - Test (0,1,0) 37.85 Hz.wav",
                                         "03 - Test (1,1,0) 44.5 Hz.wav"};
    std::atomic<bool> FCancel{false};
};

TEST_F(TrackSetTest, WritesOneTrackPerModeAndTheList)
{
    std::vector<std::string> Hints;
    const TTrackSetJob Job(Request(Modes, 1));
    const TTrackSetResult R = Job.Run(
        [&](const TTrackSetProgress& P) {
            if (P.Position == 0)
                Hints.push_back(P.Name + " " + std::to_string(P.Track) + "/" + std::to_string(P.Tracks));
        },
        FCancel);
    ASSERT_EQ(R.Status, TTrackSetResult::Done) << R.Message;
    EXPECT_EQ(Hints, (std::vector<std::string>{Names[0] + " 1/3", Names[1] + " 2/3", Names[2] + " 3/3"}));
    for (std::size_t I = 0; I < Modes.size(); ++I) {
        EXPECT_EQ(R.Written[I], In(Names[I]));
        const TBytes File = ReadFile(In(Names[I]));
        EXPECT_TRUE(RiffLayout(File, 176400));
        EXPECT_EQ(FormatChunk(File), WindowFormatChunk);
        EXPECT_TRUE(ReadsBack(In(Names[I]), 2, 44100, SfPcm16, ToneSamples(Modes[I].GetFrequency(), 1)));
    }
    const std::string List = Names[0] + "\r\n" + Names[1] + "\r\n" + Names[2] + "\r\n";
    EXPECT_EQ(ReadFile(In("Tests.txt")), TBytes(List.begin(), List.end()));
    // Three tracks, the list and the CUE sheet.
    EXPECT_EQ(FolderFiles().size(), 5u);
    std::uintmax_t OnDisk = 0;
    for (const auto& F : FolderFiles())
        OnDisk += fs::file_size(In(F));
    EXPECT_EQ(OnDisk, Job.BytesNeeded());
}

TEST_F(TrackSetTest, UnreadableOrNegativeDurationsGiveHeaderOnlyTracks)
{
    for (const int Seconds : {0, -3}) {
        const TTrackSetResult R = TTrackSetJob(Request(Modes, Seconds)).Run(nullptr, FCancel);
        ASSERT_EQ(R.Status, TTrackSetResult::Done) << R.Message;
        for (const auto& N : Names)
            EXPECT_TRUE(RiffLayout(ReadFile(In(N)), 0)) << N;
    }
}

TEST_F(TrackSetTest, RefusalsWriteNothing)
{
    const struct {
        const char* Case;
        std::vector<TMode> Modes;
        int Seconds;
        std::uint64_t Free;
        const char* Says;
    } Cases[] = {
        {"empty mode list", {}, 8, 1ULL << 40, "ningún modo"},
        {"too long for a WAV file", Modes, 24348, 1ULL << 40, "24347"},
        // 3 x (44 + 8 x 176 400) bytes and the list do not fit in 4 MB.
        {"no room for the whole set", Modes, 8, 4000000, "espacio"},
    };
    for (const auto& C : Cases) {
        const TTrackSetResult R = TTrackSetJob(Request(C.Modes, C.Seconds))
                                      .Run(nullptr, FCancel, [&](const std::string&) { return C.Free; });
        EXPECT_EQ(R.Status, TTrackSetResult::Refused) << C.Case;
        EXPECT_NE(R.Message.find(C.Says), std::string::npos) << C.Case << ": " << R.Message;
        EXPECT_TRUE(FolderFiles().empty()) << C.Case;
    }
    std::uint64_t ListBytes = 0;
    for (const auto& N : Names)
        ListBytes += N.size() + 2;
    // Each CUE entry holds its track's name, its title (the name less "0N - Test " and
    // ".wav") and 69 bytes of commands.
    std::uint64_t CueBytes = 0;
    for (const auto& N : Names)
        CueBytes += 2 * N.size() - 14 + 69;
    EXPECT_EQ(TTrackSetJob(Request(Modes, 8)).BytesNeeded(), 3 * (44 + 8 * 176400ULL) + ListBytes + CueBytes);
}

TEST_F(TrackSetTest, AFailedTrackStopsTheRunAndKeepsAnOlderFileOfItsName)
{
    const std::string Old = "older track";
    {
        QFile F(QString::fromStdString(In(Names[0])));
        ASSERT_TRUE(F.open(QIODevice::WriteOnly));
        F.write(Old.data(), static_cast<qint64>(Old.size()));
    }
    TTrackSetResult R;
    {
        // Less than a 1-second track: the disk fills during the first one.
        const TFileSizeLimit Limit(100000);
        R = TTrackSetJob(Request(Modes, 1)).Run(nullptr, FCancel);
    }
    EXPECT_EQ(R.Status, TTrackSetResult::Failed);
    EXPECT_NE(R.Message.find("Cannot write file " + In(Names[0])), std::string::npos) << R.Message;
    EXPECT_TRUE(R.Written.empty());
    EXPECT_EQ(ReadFile(In(Names[0])), TBytes(Old.begin(), Old.end()));
    EXPECT_EQ(FolderFiles(), std::vector<std::string>{Names[0]});

    // A folder that does not exist: the message names the track.
    R = TTrackSetJob(Request(Modes, 1)).Run(nullptr, FCancel, [](const std::string&) { return 1ULL << 40; });
    EXPECT_EQ(R.Status, TTrackSetResult::Done);
    TTrackSetRequest Missing = Request(Modes, 1);
    Missing.Folder += "missing/";
    R = TTrackSetJob(Missing).Run(nullptr, FCancel, [](const std::string&) { return 1ULL << 40; });
    EXPECT_EQ(R.Status, TTrackSetResult::Failed);
    EXPECT_EQ(R.Message, "Cannot create file " + Missing.Folder + Names[0]);
}

TEST_F(TrackSetTest, CancellingKeepsFinishedTracksAndWritesNoList)
{
    const TTrackSetResult R = TTrackSetJob(Request(Modes, 2))
                                  .Run(
                                      [&](const TTrackSetProgress& P) {
                                          if (P.Track == 2 && P.Position > 20000)
                                              FCancel = true;
                                      },
                                      FCancel);
    EXPECT_EQ(R.Status, TTrackSetResult::Cancelled);
    EXPECT_EQ(R.Written, std::vector<std::string>{In(Names[0])});
    EXPECT_EQ(FolderFiles(), std::vector<std::string>{Names[0]});
    EXPECT_TRUE(RiffLayout(ReadFile(In(Names[0])), 2 * 176400));
}

}  // namespace
