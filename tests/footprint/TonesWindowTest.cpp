// The modes window on the offscreen platform, driven with real mouse and key
// events: table, kinds, conflicts, maps and node marks, dragging, tone, WAV
// files, the track set and its cancelling, and a sample store that cannot be
// created.

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTimer>

#include <filesystem>

#include "audio/AudioTestSupport.h"
#include "audio/MemoryWaveOut.h"
#include "footprint/ModeSPL.h"
#include "footprint/TonesRules.h"
#include "footprint/Tones.h"
#include "model/Utilities.h"
#include "support/AccessibilityCheck.h"
#include "support/RecordingCanvas.h"
#include "views/AdvStringGrid.h"
#include "views/ErrorReport.h"
#include "views/PressureMap.h"

namespace {

namespace fs = std::filesystem;

void SendMouse(QWidget& W, QEvent::Type Type, QPoint P, Qt::MouseButton Button, Qt::MouseButtons Held)
{
    QMouseEvent E(Type, QPointF(P), QPointF(W.mapToGlobal(P)), Button, Held, Qt::NoModifier);
    QApplication::sendEvent(&W, &E);
}

// Counts the paint events a widget receives.
class TPaintCounter : public QObject {
public:
    int Paints = 0;
    bool eventFilter(QObject*, QEvent* E) override
    {
        if (E->type() == QEvent::Paint)
            ++Paints;
        return false;
    }
};

class TonesWindowTest : public TTempDirTest {
protected:
    void SetUp() override
    {
        TTempDirTest::SetUp();
        SetErrorReporter([this](const QString& M) { Errors.push_back(M); });
    }
    void TearDown() override
    {
        W.reset();
        SetErrorReporter(nullptr);
        TTempDirTest::TearDown();
    }
    void Open()
    {
        W = std::make_unique<TfrmTones>(nullptr, Backend);
        W->SetRoom(Room);
        W->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(W.get()));
    }
    void Click(QWidget* Widget) { QTest::mouseClick(Widget, Qt::LeftButton); }
    void ClickRow(int Row, Qt::KeyboardModifiers Keys = Qt::NoModifier)
    {
        QTest::mouseClick(W->sgModes->viewport(), Qt::LeftButton, Keys, W->sgModes->CellRect(1, Row).center());
    }
    void TypeSeconds(const QString& Text)
    {
        W->edSeconds->selectAll();
        QTest::keyClicks(W->edSeconds, Text);
    }
    // Answers the next save dialog with Name, a full path (selected in it and
    // confirmed with Enter in its file name box), or cancels it with an empty Name. A
    // dialog still open after 5 s is closed so that a test fails instead of
    // hanging.
    void AnswerSaveDialog(const QString& Name)
    {
        auto* Timer = new QTimer(W.get());
        auto Ticks = std::make_shared<int>(0);
        auto Seen = std::make_shared<bool>(false);
        auto Answered = std::make_shared<bool>(false);
        QObject::connect(Timer, &QTimer::timeout, Timer, [Timer, Name, Ticks, Seen, Answered] {
            QWidget* Modal = QApplication::activeModalWidget();
            if (Modal == nullptr) {
                if (*Seen) {
                    Timer->stop();
                    Timer->deleteLater();
                }
                return;
            }
            *Seen = true;
            if (++*Ticks > 500) {
                Modal->close();
                return;
            }
            auto* D = qobject_cast<QFileDialog*>(Modal);
            // A save dialog after this one was answered is the next test
            // step's, with its own answer.
            if (D != nullptr && *Answered)
                return;
            if (D == nullptr) {
                // Not the name this test meant (an overwrite question): say no.
                QTest::keyClick(Modal, Qt::Key_Escape);
                return;
            }
            if (Name.isEmpty()) {
                *Answered = true;
                QTest::keyClick(D, Qt::Key_Escape);
                return;
            }
            // Asked again on every tick until the dialog takes it: the dialog
            // may still be filling its box from the folder it loads.
            // The folder first: the dialog may remember another one from an
            // earlier run, and a name is taken relative to the folder shown.
            // selectFile also drops the dialog's selection of the last name,
            // which would win over the typed one. The dialog is accepted only
            // once it reports the name: Enter in its box could be taken by the
            // completer's popup instead.
            D->setDirectory(QFileInfo(Name).absolutePath());
            D->selectFile(Name);
            auto* Edit = D->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            Edit->setText(QFileInfo(Name).fileName());
            if (D->selectedFiles().value(0) == Name) {
                *Answered = true;
                QMetaObject::invokeMethod(D, "accept");
            }
        });
        Timer->start(10);
    }
    std::vector<int> MarkedRows() const
    {
        std::vector<int> Rows;
        for (int R = 1; R < W->sgModes->RowCount(); ++R)
            if (W->sgModes->IsRowMarked(R))
                Rows.push_back(R);
        return Rows;
    }
    QImage ExpectedMap(const TVisualRoom& View, const std::vector<int>& Rows) const
    {
        std::vector<TWeightedMode> Modes;
        for (const int R : Rows)
            Modes.push_back(WeightMode(*W->Modes().GetMode(R - 1)));
        return RenderPressureMap(TViewFrame::Of(View), Room, Modes, View.BackgroundColor());
    }
    // The view's map against the expected picture, pixel for pixel.
    static bool SameMap(const TVisualRoom& View, const QImage& Expected)
    {
        const QImage* Map = View.BackgroundPicture();
        return Map != nullptr
               && Map->convertToFormat(QImage::Format_RGB888) == Expected.convertToFormat(QImage::Format_RGB888);
    }
    int RowOf(int NX, int NY, int NZ) const
    {
        for (int I = 0; I < W->Modes().Count(); ++I) {
            const TMode* M = W->Modes().GetMode(I);
            if (M->NX() == NX && M->NY() == NY && M->NZ() == NZ)
                return I + 1;
        }
        return -1;
    }
    std::string Path(const std::string& Name) const { return FDir.path().toStdString() + "/" + Name; }
    void WaitForTrackSet()
    {
        for (int I = 0; I < 2000 && W->TrackSetRunning(); ++I)
            QTest::qWait(5);
    }

    TRoom Room;
    std::shared_ptr<TMemoryWaveOutBackend> Backend = std::make_shared<TMemoryWaveOutBackend>();
    std::unique_ptr<TfrmTones> W;
    QStringList Errors;
};

TEST_F(TonesWindowTest, OpensAsDesignedAndTakesTheSampleStoreAwayWhenClosed)
{
    Open();
    EXPECT_EQ(W->windowTitle(), "Velmor acústica");
    EXPECT_EQ(W->size(), QSize(646, 458));
    const char* const Headers[] = {"", "Frecuencia", "(p,q,r)", "Dif. (Hz)", "Dif. (%)", "Dist. entre max/min"};
    const int Widths[] = {29, 57, 45, 47, 45, 87};
    for (int C = 0; C < 6; ++C) {
        EXPECT_EQ(W->sgModes->Cell(C, 0), QString::fromUtf8(Headers[C]));
        EXPECT_EQ(W->sgModes->ColWidth(C), Widths[C]);
    }
    EXPECT_EQ(W->edSeconds->text(), "8");
    EXPECT_EQ(W->edAtenuation->text(), "-6 db");
    EXPECT_EQ(W->tbAtenuation->maximum(), 12);
    EXPECT_TRUE(W->cbAxial->isChecked());
    EXPECT_FALSE(W->cbTangential->isChecked() || W->cbOblique->isChecked());
    EXPECT_EQ(W->btnSave->accessibleName(), "Salvar a disco...");
    EXPECT_EQ(W->btnPlaySound->accessibleName(), "Reproducir");
    EXPECT_EQ(W->btnSelectConflict->accessibleName(), "Seleccionar modos conflictivos");
    EXPECT_EQ(W->edSeconds->accessibleName(), "Duración (s)");
    EXPECT_EQ(Accessibility::UnnamedControls(W.get()), QStringList());
    // The lowest mode is marked and mapped from the start; row 1 has no differences.
    EXPECT_EQ(MarkedRows(), std::vector<int>{1});
    EXPECT_TRUE(SameMap(*W->vrTop, ExpectedMap(*W->vrTop, {1})));
    EXPECT_TRUE(W->sgModes->Cell(3, 1).isEmpty() && W->sgModes->Cell(4, 1).isEmpty());
    EXPECT_TRUE(Errors.isEmpty());

    EXPECT_TRUE(fs::exists("TONE.$$$"));
    W.reset();
    EXPECT_FALSE(fs::exists("TONE.$$$"));
}

TEST_F(TonesWindowTest, KindBoxesRefillTheTableAndTheMapsFollowAtOnce)
{
    Open();
    const int AxialRows = W->sgModes->RowCount();
    Click(W->cbAxial);  // no box ticked: still the axial modes
    EXPECT_FALSE(W->cbAxial->isChecked());
    EXPECT_EQ(W->sgModes->RowCount(), AxialRows);
    for (int R = 1; R < AxialRows; ++R)
        EXPECT_EQ(W->Modes().GetMode(R - 1)->GetKind(), mkAxial);

    Click(W->cbTangential);
    ASSERT_GT(W->sgModes->RowCount(), 2);
    for (int R = 1; R < W->sgModes->RowCount(); ++R) {
        EXPECT_EQ(W->Modes().GetMode(R - 1)->GetKind(), mkTangential);
        EXPECT_TRUE(W->sgModes->Cell(5, R).isEmpty()) << R;
    }
    // Row 1 stays marked and now shows the lowest tangential mode: map and tone follow.
    EXPECT_TRUE(W->ToneDirty());
    EXPECT_TRUE(SameMap(*W->vrTop, ExpectedMap(*W->vrTop, {1})));
    EXPECT_TRUE(SameMap(*W->vrHeight, ExpectedMap(*W->vrHeight, {1})));
    Click(W->btnSelectConflict);
    EXPECT_TRUE(MarkedRows().empty());

    Click(W->cbAxial);
    Click(W->cbOblique);
    EXPECT_EQ(W->Modes().Count(), 338);
    Click(W->btnSelectConflict);
    std::vector<int> Conflicts = ConflictRows(ModeList(W->Modes()));
    EXPECT_FALSE(Conflicts.empty());
    EXPECT_EQ(MarkedRows(), Conflicts);
    EXPECT_TRUE(SameMap(*W->vrTop, ExpectedMap(*W->vrTop, Conflicts)));
}

TEST_F(TonesWindowTest, MapsAndNodeMarks)
{
    Open();
    ClickRow(1, Qt::ControlModifier);  // nothing marked
    ASSERT_TRUE(MarkedRows().empty());
    std::uint8_t R0, G0, B0;
    ValueToRGB(0, R0, G0, B0);
    const QImage Empty = W->vrHeight->BackgroundPicture()->convertToFormat(QImage::Format_RGB888);
    const int Rim = W->vrHeight->Rim();
    for (const QPoint P : {QPoint(Rim, Rim), QPoint(Empty.width() / 2, Empty.height() / 2),
                           QPoint(Empty.width() - Rim - 1, Empty.height() - Rim - 1)})
        EXPECT_EQ(Empty.pixel(P), qRgb(R0, G0, B0));

    // One tangential mode: its own relative pressure, pixel by pixel.
    Click(W->cbTangential);
    Click(W->cbAxial);
    ClickRow(1);
    ASSERT_EQ(W->Modes().GetMode(0)->GetKind(), mkTangential);
    const QImage Map = *W->vrTop->BackgroundPicture();
    const QImage Exact = RenderPressureMapPerPixel(TViewFrame::Of(*W->vrTop), Room,
                                                   {WeightMode(*W->Modes().GetMode(0))}, RGB(0, 0, 0));
    int Worst = 0;
    for (int Y = 0; Y < Map.height(); ++Y)
        for (int X = 0; X < Map.width(); ++X) {
            const QRgb A = Map.pixel(X, Y), B = Exact.pixel(X, Y);
            Worst = std::max({Worst, std::abs(qRed(A) - qRed(B)), std::abs(qGreen(A) - qGreen(B)),
                              std::abs(qBlue(A) - qBlue(B))});
        }
    EXPECT_LE(Worst, 1);
    TRecordingCanvas NoMarks;
    W->vrTop->OnOverlay(*W->vrTop, NoMarks);
    EXPECT_TRUE(NoMarks.Shapes().empty());

    // NZ = 2 in the 2.80 m high room: 0, 70, 140 and 210 left of the room in the elevation.
    Click(W->cbTangential);
    const int Row = RowOf(0, 0, 2);
    ASSERT_GT(Row, 0);
    for (int R = 1; R < W->sgModes->RowCount(); ++R)
        W->sgModes->SetRowMarked(R, R == Row);
    W->sgModesClick();
    TRecordingCanvas Elevation, Plan;
    W->vrHeight->OnOverlay(*W->vrHeight, Elevation);
    W->vrTop->OnOverlay(*W->vrTop, Plan);
    std::vector<std::string> Labels;
    for (const auto& C : Elevation.Shapes())
        if (C.rfind("text ", 0) == 0) {
            EXPECT_LT(std::stoi(C.substr(5)), W->vrHeight->Rim()) << C;
            Labels.push_back(C.substr(C.rfind(' ') + 1));
        }
    EXPECT_EQ(Labels, (std::vector<std::string>{"0", "70", "140", "210"}));
    EXPECT_TRUE(Plan.Shapes().empty());
}

TEST_F(TonesWindowTest, DraggingInOneViewRedrawsTheOtherAndKeepsTheMaps)
{
    Open();
    TPaintCounter Counter;
    W->vrHeight->installEventFilter(&Counter);
    const QImage MapBefore = *W->vrTop->BackgroundPicture();
    const TPoint3D Before = Room.Listener().GetPosition();
    const TPixel P = W->vrTop->WorldToScreen(Before);
    QTest::mousePress(W->vrTop, Qt::LeftButton, Qt::NoModifier, QPoint(P.X, P.Y));
    const int PaintsAtPress = Counter.Paints;
    SendMouse(*W->vrTop, QEvent::MouseMove, QPoint(P.X + 5, P.Y + 15), Qt::NoButton, Qt::LeftButton);
    EXPECT_GT(Counter.Paints, PaintsAtPress);
    QTest::mouseRelease(W->vrTop, Qt::LeftButton, Qt::NoModifier, QPoint(P.X + 5, P.Y + 15));
    EXPECT_NE(Room.Listener().GetPosition().Y, Before.Y);
    EXPECT_EQ(*W->vrTop->BackgroundPicture(), MapBefore);
    W->vrHeight->removeEventFilter(&Counter);
}

TEST_F(TonesWindowTest, PlaySynthesisesOnlyWhenSomethingChangedAndSaysWhenTheDeviceFails)
{
    Open();
    TypeSeconds("1");
    Click(W->btnPlaySound);
    EXPECT_EQ(W->ToneGenerations(), 1);
    EXPECT_EQ(W->ToneStore()->Size(), 176400);
    EXPECT_TRUE(W->Audio().Player()->Active());
    Click(W->btnPlaySound);  // again while playing: the same samples, started afresh
    EXPECT_EQ(W->ToneGenerations(), 1);
    EXPECT_EQ(Backend->OpenCount(), 2);
    EXPECT_LE(Backend->Pending(), 4);

    W->tbAtenuation->setFocus();
    QTest::keyClick(W->tbAtenuation, Qt::Key_Right);
    EXPECT_EQ(W->edAtenuation->text(), "-7 db");
    Backend->SetOpenResult(TMemoryWaveOutBackend::wrMemoryFault);
    Click(W->btnPlaySound);
    EXPECT_EQ(W->ToneGenerations(), 2);
    EXPECT_TRUE(W->lblHint->text().startsWith("No se puede reproducir el tono: ")) << W->lblHint->text().toStdString();
    EXPECT_TRUE(W->lblHint->text().contains("Simulated device fault"));
    EXPECT_TRUE(Errors.isEmpty());
}

TEST_F(TonesWindowTest, SaveWritesTheToneAsAWaveFile)
{
    Open();
    W->tbAtenuation->setFocus();
    QTest::keyClick(W->tbAtenuation, Qt::Key_Home);
    ASSERT_EQ(W->tbAtenuation->value(), 0);
    AnswerSaveDialog(QString::fromStdString(Path("tone.wav")));
    Click(W->btnSave);
    const TBytes File = ReadFile(Path("tone.wav"));
    EXPECT_TRUE(RiffLayout(File, 1411200));
    EXPECT_EQ(FormatChunk(File), WindowFormatChunk);
    const std::vector<std::int16_t> Samples = AsSamples(ReadFile("TONE.$$$"));
    EXPECT_EQ(*std::max_element(Samples.begin(), Samples.end()), 32767);
    EXPECT_TRUE(ReadsBack(Path("tone.wav"), 2, 44100, SfPcm16, Samples));

    for (const char* Text : {"abc", "0", "-4"}) {
        TypeSeconds(QString::fromLatin1(Text));
        const std::string Name = Path(std::string("empty ") + Text + ".wav");
        AnswerSaveDialog(QString::fromStdString(Name));
        Click(W->btnSave);
        EXPECT_TRUE(RiffLayout(ReadFile(Name), 0)) << Text;
    }
    // Too long: refused before the dialog, nothing written.
    TypeSeconds("30000");
    Click(W->btnSave);
    ASSERT_EQ(Errors.size(), 1);
    EXPECT_TRUE(Errors[0].contains("24347"));
    EXPECT_EQ(ReadFile("TONE.$$$").size(), 0u);
}

TEST_F(TonesWindowTest, TrackSetWritesEveryListedModeWhileTheWindowStaysUsable)
{
    Open();
    TypeSeconds("1");
    AnswerSaveDialog(QString::fromStdString(Path("Test.wav")));
    Click(W->btnVelmor);
    EXPECT_TRUE(W->TrackSetRunning());
    EXPECT_FALSE(W->btnPlaySound->isEnabled() || W->btnSave->isEnabled() || W->btnVelmor->isEnabled()
                 || W->cbAxial->isEnabled());
    WaitForTrackSet();
    ASSERT_FALSE(W->TrackSetRunning());
    EXPECT_TRUE(W->btnPlaySound->isEnabled() && W->cbTangential->isEnabled());
    // 1 s tracks are too short for an audio CD: the hint says so.
    EXPECT_TRUE(W->lblHint->text().contains(QStringLiteral("(mín. 4 s)"))) << W->lblHint->text().toStdString();
    EXPECT_TRUE(W->ToneDirty());

    std::string List;
    for (int R = 1; R < W->sgModes->RowCount(); ++R) {
        const std::string Name = TrackName(R, "Test", *W->Modes().GetMode(R - 1));
        List += Name + "\r\n";
        EXPECT_TRUE(RiffLayout(ReadFile(Path(Name)), 176400)) << Name;
    }
    EXPECT_EQ(ReadFile(Path("Tests.txt")), TBytes(List.begin(), List.end()));
    EXPECT_EQ(W->mmTracks->document()->blockCount(), W->sgModes->RowCount() - 1);
    EXPECT_TRUE(Errors.isEmpty());
}

TEST_F(TonesWindowTest, ClosingDuringTheTrackSetKeepsFinishedTracksAndWritesNoList)
{
    Open();
    TypeSeconds("30");
    AnswerSaveDialog(QString::fromStdString(Path("Modo.wav")));
    Click(W->btnVelmor);
    for (int I = 0; I < 2000 && !W->lblHint->text().contains("(2/"); ++I)
        QTest::qWait(5);
    EXPECT_TRUE(W->lblHint->text().startsWith("Calculando 02 - Modo ")) << W->lblHint->text().toStdString();
    QTest::keyClick(W.get(), Qt::Key_Escape);
    EXPECT_FALSE(W->isVisible());
    W.reset();
    int Tracks = 0;
    for (const auto& E : fs::directory_iterator(FDir.path().toStdString())) {
        const std::string Name = E.path().filename().string();
        if (Name == "PLAY.TMP")
            continue;
        ASSERT_EQ(E.path().extension(), ".wav") << Name;
        EXPECT_TRUE(RiffLayout(ReadFile(E.path().string()), 30 * 176400)) << Name;
        ++Tracks;
    }
    EXPECT_GE(Tracks, 1);
    EXPECT_FALSE(fs::exists(Path("Modos.txt")));
}

TEST_F(TonesWindowTest, WithoutASampleStoreTheWindowListsAndMapsButMakesNoTone)
{
    fs::create_directory("TONE.$$$");  // a folder in the way: the file cannot be created
    Open();
    ASSERT_EQ(Errors.size(), 1);
    EXPECT_EQ(Errors[0], "Cannot create file TONE.$$$");
    EXPECT_GT(W->sgModes->RowCount(), 2);
    EXPECT_TRUE(SameMap(*W->vrTop, ExpectedMap(*W->vrTop, {1})));
    for (QPushButton* B : {W->btnPlaySound, W->btnSave, W->btnVelmor}) {
        Click(B);
        EXPECT_TRUE(Errors.last().startsWith("No se puede generar ningún tono")) << Errors.last().toStdString();
    }
    EXPECT_EQ(Errors.size(), 4);
    EXPECT_EQ(Backend->OpenCount(), 0);
    W.reset();
    EXPECT_TRUE(fs::is_directory("TONE.$$$"));
}

}  // namespace
