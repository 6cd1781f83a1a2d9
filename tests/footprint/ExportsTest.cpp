// The modes window's exports: the table on the clipboard and as CSV (read
// back by a parser of its own), the views as PNG and on the clipboard, the
// menus opened as a user opens them, the CUE sheets of a real track-set run
// and the CD plan.

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "audio/AudioTestSupport.h"
#include "audio/MemoryWaveOut.h"
#include "footprint/ExportMenus.h"
#include "footprint/Exports.h"
#include "footprint/Tones.h"
#include "footprint/TonesRules.h"
#include "footprint/TrackSet.h"
#include "model/Utilities.h"
#include "support/CommaLocale.h"
#include "views/AdvStringGrid.h"
#include "views/ErrorReport.h"

namespace {

namespace fs = std::filesystem;
using TRecords = std::vector<std::vector<std::string>>;

// RFC 4180 as a reader sees it: CRLF records, quoted fields with doubled
// quotes. Fails the test on anything else.
TRecords ParseCsv(const std::string& Text)
{
    TRecords Records;
    std::vector<std::string> Record;
    std::string Field;
    std::size_t I = 0;
    bool Quoted = false;
    while (I < Text.size()) {
        const char C = Text[I];
        if (Quoted) {
            if (C == '"' && I + 1 < Text.size() && Text[I + 1] == '"') {
                Field += '"';
                I += 2;
            } else if (C == '"') {
                Quoted = false;
                ++I;
            } else {
                Field += C;
                ++I;
            }
        } else if (C == '"' && Field.empty()) {
            Quoted = true;
            ++I;
        } else if (C == ',') {
            Record.push_back(Field);
            Field.clear();
            ++I;
        } else if (C == '\r' && I + 1 < Text.size() && Text[I + 1] == '\n') {
            Record.push_back(Field);
            Field.clear();
            Records.push_back(Record);
            Record.clear();
            I += 2;
        } else {
            EXPECT_TRUE(C != '"' && C != '\r' && C != '\n') << "stray character at " << I;
            Field += C;
            ++I;
        }
    }
    EXPECT_FALSE(Quoted);
    EXPECT_TRUE(Field.empty() && Record.empty()) << "last record without CRLF";
    return Records;
}

std::string FileText(const std::string& Name)
{
    std::ifstream In(Name, std::ios::binary);
    std::ostringstream S;
    S << In.rdbuf();
    return S.str();
}

TEST(Exports, CsvQuotesOnlyWhatNeedsItAndReadsBack)
{
    const TMode Axial(1, 0, 0, 34.3f);
    const TMode Oblique(1, 1, 1, 101.25f);
    const std::vector<TExportRow> Rows{{{"1", "34,3 Hz", "(1,0,0)", "say \"hi\""}, &Axial},
                                       {{"2", "101 Hz", "line\r\nbreak", ""}, &Oblique}};
    const std::string Csv = TableCsv({"", "Frecuencia", "(p,q,r)", "Nota"}, Rows);
    EXPECT_EQ(Csv, ",Frecuencia,\"(p,q,r)\",Nota,Frecuencia (Hz),Tipo\r\n"
                   "1,\"34,3 Hz\",\"(1,0,0)\",\"say \"\"hi\"\"\",34.3,axial\r\n"
                   "2,101 Hz,\"line\r\nbreak\",,101.25,oblicuo\r\n");
    const TRecords Back = ParseCsv(Csv);
    ASSERT_EQ(Back.size(), 3u);
    EXPECT_EQ(Back[1][3], "say \"hi\"");
    EXPECT_EQ(Back[2][2], "line\r\nbreak");
    EXPECT_EQ(std::strtof(Back[1][4].c_str(), nullptr), 34.3f);
    // A tab-separated cell never splits.
    EXPECT_EQ(TableText({"a", "b"}, {{{"x\ty", "z\n"}, nullptr}}), "a\tb\r\nx y\tz \r\n");
    // The comma locale does not reach the plain numbers.
    const TCommaLocale Comma;
    EXPECT_EQ(PlainNumber(23.4f), "23.4");
    EXPECT_EQ(ModeKindWord(TMode(1, 1, 0, 1.0f).GetKind()), "tangencial");
}

TEST(Exports, CdPlanSplitsByTracksAndPlayingTime)
{
    using TDiscs = std::vector<std::pair<int, int>>;
    const struct {
        int Tracks, Seconds;
        bool Fits, Burnable;
        TDiscs Discs;
        const char* Says;
    } Cases[] = {
        {12, 8, true, true, {{1, 12}}, "Cabe en un CD de audio: 12 pistas, 1:36 en total."},
        {1, 4800, true, true, {{1, 1}}, "1 pista, 1:20:00 en total"},
        {99, 4, true, true, {{1, 99}}, "6:36 en total"},
        {150, 8, false, true, {{1, 99}, {100, 150}}, "No cabe en un CD: 150 pistas (máx. 99). Marque menos tipos o grabe 2 discos: pistas 1-99, 100-150."},
        {99, 60, false, true, {{1, 80}, {81, 99}}, "No cabe en un CD: 1:39:00 (máx. 80 min). Marque menos tipos o grabe 2 discos: pistas 1-80, 81-99."},
        {3, 1, false, false, {{1, 3}}, "No cabe en un CD: pistas de 1 s (mín. 4 s). Elija 4 s o más."},
        {120, 0, false, false, {{1, 99}, {100, 120}}, "Elija 4 s o más y marque menos tipos o grabe 2 discos: pistas 1-99, 100-120."},
        {1, 4801, false, false, {{1, 1}}, "cada pista pasa de 80 min. Elija una duración más corta."},
    };
    for (const auto& C : Cases) {
        const TCdPlan P = PlanCd(C.Tracks, C.Seconds);
        EXPECT_EQ(P.Fits, C.Fits) << C.Tracks << "x" << C.Seconds;
        EXPECT_EQ(P.Burnable, C.Burnable) << C.Tracks << "x" << C.Seconds;
        EXPECT_EQ(P.Discs, C.Discs) << C.Tracks << "x" << C.Seconds;
        EXPECT_NE(P.Message.find(C.Says), std::string::npos) << P.Message;
    }
    EXPECT_EQ(PlayingTime(3725), "1:02:05");
}

// One parsed CUE track.
struct TCueTrack {
    std::string File, Number, Title, Index;
};
std::vector<TCueTrack> ParseCue(const std::string& Text)
{
    static const std::regex File(R"re(FILE "([^"]+)" WAVE)re"), Track(R"re( *TRACK (\d\d) AUDIO)re"),
        Title(R"re( *TITLE "([^"]*)")re"), Index(R"re( *INDEX (01 \d\d:\d\d:\d\d))re");
    std::vector<TCueTrack> Tracks;
    std::smatch M;
    for (std::size_t Start = 0, End; (End = Text.find("\r\n", Start)) != std::string::npos; Start = End + 2) {
        const std::string Line = Text.substr(Start, End - Start);
        if (std::regex_match(Line, M, File))
            Tracks.push_back({M[1], "", "", ""});
        else if (!Tracks.empty() && std::regex_match(Line, M, Track))
            Tracks.back().Number = M[1];
        else if (!Tracks.empty() && std::regex_match(Line, M, Title))
            Tracks.back().Title = M[1];
        else if (!Tracks.empty() && std::regex_match(Line, M, Index))
            Tracks.back().Index = M[1];
        else
            ADD_FAILURE() << "not a CUE line: " << Line;
    }
    EXPECT_TRUE(Text.empty() || Text.ends_with("\r\n"));
    return Tracks;
}

class ExportsRunTest : public TTempDirTest {};

TEST_F(ExportsRunTest, TrackSetWritesACueSheetNamingItsTracks)
{
    const std::vector<TMode> Modes{TMode(1, 0, 0, 23.4f), TMode(0, 1, 0, 37.85f), TMode(1, 1, 0, 44.5f)};
    TTrackSetRequest R;
    R.Modes = Modes;
    R.Seconds = 1;
    const TTrackSetNames N = TrackSetNames(FDir.path().toStdString() + "/Base.wav");
    R.Folder = N.Folder;
    R.Base = N.Base;
    R.ListFile = N.ListFile;
    std::atomic<bool> Cancel{false};
    const TTrackSetResult Result = TTrackSetJob(R).Run(nullptr, Cancel);
    ASSERT_EQ(Result.Status, TTrackSetResult::Done) << Result.Message;
    EXPECT_NE(Result.CdPlan.find("(mín. 4 s)"), std::string::npos) << Result.CdPlan;

    const std::vector<TCueTrack> Cue = ParseCue(FileText(N.Folder + "Bases.cue"));
    ASSERT_EQ(Cue.size(), Modes.size());
    for (std::size_t I = 0; I < Cue.size(); ++I) {
        EXPECT_TRUE(fs::is_regular_file(N.Folder + Cue[I].File)) << Cue[I].File;
        EXPECT_EQ(Cue[I].Number, (I < 9 ? "0" : "") + std::to_string(I + 1));
        EXPECT_EQ(Cue[I].Title, Modes[I].ModeToStr() + " " + FormatShort(Modes[I].GetFrequency()) + " Hz");
        EXPECT_EQ(Cue[I].Index, "01 00:00:00");
    }
    EXPECT_EQ(Cue[1].File, "02 - Base (1,0,0) 37.85 Hz.wav");
}

TEST(Exports, CueSheetsGoOnePerDiscAndRefuseQuotes)
{
    std::vector<TMode> Modes;
    std::string List;
    for (int I = 1; I <= 100; ++I) {
        Modes.emplace_back(I, 0, 0, static_cast<float>(I));
        List += "t" + std::to_string(I) + ".wav\r\n";
    }
    const auto Sheets = CueSheets("/d/Bases.txt", List, Modes, 8);
    ASSERT_EQ(Sheets.size(), 2u);
    EXPECT_EQ(Sheets[0].first, "/d/Bases.cue");
    EXPECT_EQ(Sheets[1].first, "/d/Bases (disco 2).cue");
    EXPECT_EQ(ParseCue(Sheets[0].second).size(), 99u);
    const auto Second = ParseCue(Sheets[1].second);
    ASSERT_EQ(Second.size(), 1u);
    EXPECT_EQ(Second[0].File, "t100.wav");
    EXPECT_EQ(Second[0].Number, "01");
    EXPECT_THROW(CueSheets("B.txt", "a\"b.wav\r\n", {TMode(1, 0, 0, 1.0f)}, 8), std::invalid_argument);
}

class ExportsWindowTest : public TTempDirTest {
protected:
    void SetUp() override
    {
        TTempDirTest::SetUp();
        SetErrorReporter([this](const QString& M) { Errors.push_back(M); });
        W = std::make_unique<TfrmTones>(nullptr, Backend);
        W->SetRoom(Room);
        W->cbTangential->setChecked(true);
        W->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(W.get()));
    }
    void TearDown() override
    {
        W.reset();
        SetErrorReporter(nullptr);
        TTempDirTest::TearDown();
    }
    std::string Path(const std::string& Name) const { return FDir.path().toStdString() + "/" + Name; }
    // The open popup menu's action, clicked with the mouse.
    bool ClickMenu(const QString& Text)
    {
        auto* Menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (Menu == nullptr)
            return false;
        for (QAction* A : Menu->actions())
            if (A->text() == Text) {
                QTest::mouseClick(Menu, Qt::LeftButton, {}, Menu->actionGeometry(A).center());
                return true;
            }
        return false;
    }
    // Answers the next save dialog with Name.
    void AnswerSaveDialog(const QString& Name)
    {
        QTimer::singleShot(50, W.get(), [Name] {
            auto* D = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (D == nullptr)
                return;
            D->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(Name);
            QTest::keyClick(D->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")), Qt::Key_Return);
        });
    }
    void RightClick(QWidget* Target, QPoint P)
    {
        QTest::mousePress(Target, Qt::RightButton, {}, P);
        QTest::mouseRelease(Target, Qt::RightButton, {}, P);
    }
    // A pixel of vrTop with no element within reach.
    QPoint EmptyPixel() const
    {
        for (int Y = 2; Y < W->vrTop->height(); Y += 7)
            for (int X = 2; X < W->vrTop->width(); X += 7)
                if (W->vrTop->ItemAt(X, Y) == nullptr)
                    return {X, Y};
        return {-1, -1};
    }
    // The table's lines as the user sees them, tab-separated.
    std::string ShownLine(int Row) const
    {
        std::string L;
        for (int C = 0; C < 6; ++C)
            L += (C > 0 ? "\t" : "") + W->sgModes->Cell(C, Row).toStdString();
        return L + "\r\n";
    }

    const TCommaLocale Comma;
    TRoom Room;
    std::shared_ptr<TMemoryWaveOutBackend> Backend = std::make_shared<TMemoryWaveOutBackend>();
    std::unique_ptr<TfrmTones> W;
    QStringList Errors;
};

TEST_F(ExportsWindowTest, TableGoesToTheClipboardAndToCsv)
{
    const int Rows = W->Modes().Count();
    ASSERT_GT(Rows, 3);
    std::string All = "\tFrecuencia\t(p,q,r)\tDif. (Hz)\tDif. (%)\tDist. entre max/min\r\n";
    for (int R = 1; R <= Rows; ++R)
        All += ShownLine(R);

    const QPoint At = W->sgModes->CellRect(1, 2).center();
    QContextMenuEvent Menu(QContextMenuEvent::Mouse, At, W->sgModes->viewport()->mapToGlobal(At));
    QApplication::sendEvent(W->sgModes->viewport(), &Menu);
    ASSERT_TRUE(ClickMenu(QStringLiteral("Copiar tabla")));
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), All);

    QTest::mouseClick(W->sgModes->viewport(), Qt::LeftButton, {}, W->sgModes->CellRect(1, 1).center());
    QTest::mouseClick(W->sgModes->viewport(), Qt::LeftButton, Qt::ControlModifier, W->sgModes->CellRect(1, 3).center());
    QTest::keyClick(W->sgModes, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), ShownLine(1) + ShownLine(3));
    for (const int R : {1, 3})
        QTest::mouseClick(W->sgModes->viewport(), Qt::LeftButton, Qt::ControlModifier, W->sgModes->CellRect(1, R).center());
    QApplication::clipboard()->setText(QStringLiteral("kept"));
    QTest::keyClick(W->sgModes, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("kept")) << "nothing marked, nothing copied";

    QApplication::sendEvent(W->sgModes->viewport(), &Menu);
    AnswerSaveDialog(QString::fromStdString(Path("Tabla.csv")));
    ASSERT_TRUE(ClickMenu(QStringLiteral("Exportar CSV...")));
    QTest::qWait(100);
    const TRecords Csv = ParseCsv(FileText(Path("Tabla.csv")));
    ASSERT_EQ(Csv.size(), static_cast<std::size_t>(Rows) + 1);
    EXPECT_EQ(Csv[0].back(), "Tipo");
    for (int R = 1; R <= Rows; ++R) {
        const TMode& M = *W->Modes().GetMode(R - 1);
        ASSERT_EQ(Csv[R].size(), 8u);
        for (int C = 0; C < 6; ++C)
            EXPECT_EQ(Csv[R][C], W->sgModes->Cell(C, R).toStdString());
        EXPECT_EQ(std::strtof(Csv[R][6].c_str(), nullptr), M.GetFrequency()) << Csv[R][6];
        EXPECT_EQ(Csv[R][7], M.NZ() + M.NY() + M.NX() == std::max({M.NX(), M.NY(), M.NZ()}) ? "axial" : "tangencial");
    }
    EXPECT_TRUE(Errors.isEmpty()) << Errors.join(QLatin1Char('\n')).toStdString();
    EXPECT_FALSE(fs::exists(Path("Tabla.csv.part")));

    // A folder that is not there: nothing written and the user told.
    EXPECT_FALSE(ExportTableCsv(*W, QString::fromStdString(Path("no/Tabla.csv"))));
    EXPECT_EQ(Errors.size(), 1);
    EXPECT_FALSE(fs::exists(Path("no")));
}

TEST_F(ExportsWindowTest, ViewsGoToPngAndTheClipboardFromTheirMenu)
{
    // An axial mode marked, so that node marks are drawn over the map.
    QTest::mouseClick(W->sgModes->viewport(), Qt::LeftButton, {}, W->sgModes->CellRect(1, 1).center());
    const QImage Shown = W->vrTop->Render().convertToFormat(QImage::Format_ARGB32);
    const QPoint Empty = EmptyPixel();
    ASSERT_GE(Empty.x(), 0);

    // A right click on an element grabs it and opens no menu; its position stays.
    const TPoint3D Before = Room.Listener().GetPosition();
    const TPixel L = W->vrTop->WorldToScreen(Before);
    RightClick(W->vrTop, QPoint(L.X, L.Y));
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_EQ(Room.Listener().GetPosition().X, Before.X);

    RightClick(W->vrTop, Empty);
    ASSERT_TRUE(ClickMenu(QStringLiteral("Copiar imagen")));
    EXPECT_EQ(QApplication::clipboard()->image().convertToFormat(QImage::Format_ARGB32), Shown);

    // The menu key opens it too.
    QContextMenuEvent Key(QContextMenuEvent::Keyboard, QPoint(5, 5), W->vrHeight->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(W->vrHeight, &Key);
    AnswerSaveDialog(QString::fromStdString(Path("Alzado.png")));
    ASSERT_TRUE(ClickMenu(QStringLiteral("Guardar imagen...")));
    QTest::qWait(100);
    QImage Png;
    ASSERT_TRUE(Png.load(QString::fromStdString(Path("Alzado.png")), "PNG"));
    EXPECT_EQ(Png.convertToFormat(QImage::Format_ARGB32), W->vrHeight->Render().convertToFormat(QImage::Format_ARGB32));
    EXPECT_TRUE(Errors.isEmpty()) << Errors.join(QLatin1Char('\n')).toStdString();
}

}  // namespace
