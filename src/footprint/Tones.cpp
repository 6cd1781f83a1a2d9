#include "footprint/Tones.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QStyle>

#include <filesystem>
#include <system_error>

#include "audio/Audio.h"
#include "audio/Stream.h"
#include "footprint/ExportMenus.h"
#include "footprint/ModeSPL.h"
#include "footprint/TonesRules.h"
#include "model/Utilities.h"
#include "views/AdvStringGrid.h"
#include "views/ErrorReport.h"

TfrmTones* frmTones = nullptr;

namespace {

const QString NoToneMessage = QStringLiteral(
    "No se puede generar ningún tono: el archivo temporal \"TONE.$$$\" no se pudo crear en la carpeta actual.");

QFont SmallFont()
{
    QFont F(QStringLiteral("Small Fonts"));
    F.setPixelSize(9);
    return F;
}

void Paint(QWidget* W, const QColor& Colour)
{
    QPalette P = W->palette();
    P.setColor(QPalette::Window, Colour);
    P.setColor(QPalette::Base, Colour);
    W->setPalette(P);
    W->setAutoFillBackground(true);
}

template <class T> T* Make(QWidget* Parent, const char* Name, int X, int Y, int W, int H)
{
    auto* C = new T(Parent);
    C->setObjectName(QString::fromLatin1(Name));
    C->setGeometry(X, Y, W, H);
    return C;
}

QPushButton* IconButton(QWidget* Parent, const char* Name, int X, QStyle::StandardPixmap Icon, const QString& Hint)
{
    auto* B = Make<QPushButton>(Parent, Name, X, 8, 24, 24);
    B->setFlat(true);
    B->setIcon(B->style()->standardIcon(Icon));
    B->setToolTip(Hint);
    B->setAccessibleName(Hint);
    return B;
}

}  // namespace

TfrmTones::TfrmTones(QWidget* Parent, std::shared_ptr<TWaveOutBackend> Backend)
    : TfrmScalable(Parent), FAudio(new TAudio(this, std::move(Backend)))
{
    // The layout was designed for a small bitmap sans serif; the platform's
    // larger default font would clip the captions of the small controls.
    QFont WindowFont = font();
    WindowFont.setPixelSize(10);
    setFont(WindowFont);
    BuildControls();
    // The sound component plays and saves 16-bit stereo at 44 100 frames per
    // second; the recorder follows the player's settings.
    FAudio->Player()->SetBitsPerSample(TBPS::_16);
    FAudio->Player()->SetChannels(TChannels::Stereo);
    FAudio->Player()->SetSampleRate(44100);

    TfrmScalable::FormCreate();
    FModes = std::make_unique<TModeManager>();
    const char* const Headers[] = {"", "Frecuencia", "(p,q,r)", "Dif. (Hz)", "Dif. (%)", "Dist. entre max/min"};
    for (int C = 1; C < 6; ++C)
        sgModes->SetCell(C, 0, QString::fromUtf8(Headers[C]));
    try {
        FToneStream = std::make_unique<TFileStream>(ToneFileName, TFileStream::fmCreate);
        std::error_code Ignored;
        FTonePath = std::filesystem::absolute(ToneFileName, Ignored).string();
        FToneGenerator = std::make_unique<TToneGenerator>(FToneStream.get());
    } catch (const std::exception& E) {
        FToneStream.reset();
        FToneGenerator.reset();
        ReportError(QString::fromUtf8(E.what()));
    }
    FToneDirty = true;
    tbAtenuationChange();
    InstallExportMenus(*this);
    if (frmTones == nullptr)
        frmTones = this;
    if (const QScreen* S = screen())
        move(S->availableGeometry().center() - rect().center());
}

TfrmTones::~TfrmTones()
{
    StopTrackSet();
    if (frmTones == this)
        frmTones = nullptr;
    for (TVisualRoom* V : {vrTop, vrHeight}) {
        V->OnOverlay = nullptr;
        V->OnMouseDown = nullptr;
        V->OnMouseMove = nullptr;
        V->OnMouseUp = nullptr;
    }
    FMarked.clear();
    FModes.reset();
    FToneGenerator.reset();
    if (FToneStream) {
        FToneStream.reset();
        std::error_code Ignored;
        std::filesystem::remove(FTonePath, Ignored);
    }
}

void TfrmTones::BuildControls()
{
    setObjectName(QStringLiteral("frmTones"));
    setWindowTitle(QStringLiteral("Velmor acústica"));
    resize(646, 458);

    pnRoom = Make<QFrame>(this, "pnRoom", 4, 4, 296, 418);
    Paint(pnRoom, Qt::black);
    vrTop = Make<TVisualRoom>(pnRoom, "vrTop", 1, 1, 294, 416);
    vrTop->setAccessibleName(QStringLiteral("Planta de la sala"));
    mmTracks = Make<QPlainTextEdit>(pnRoom, "mmTracks", 8, 8, 100, 40);
    mmTracks->hide();
    pnHeight = Make<QFrame>(this, "pnHeight", 304, 4, 338, 126);
    Paint(pnHeight, Qt::black);
    vrHeight = Make<TVisualRoom>(pnHeight, "vrHeight", 1, 1, 336, 124);
    vrHeight->setAccessibleName(QStringLiteral("Alzado de la sala"));
    for (TVisualRoom* V : {vrTop, vrHeight}) {
        V->SetRim(30);
        V->SetWallSize(3);
        V->SetWallColor(RGB(255, 255, 255));
        V->SetBackgroundColor(RGB(0, 0, 0));
        V->SetShowAcotation(false);
        V->SetMoveItems(true);
        V->setFont(SmallFont());
        V->OnOverlay = [this](TVisualRoom& Sender, TCanvas& Canvas) { vrTopPaint(Sender, Canvas); };
        V->OnMouseDown = [this](TVisualRoom& Sender, Qt::MouseButton, TShiftState, int X, int Y) {
            vrTopMouseDown(Sender, X, Y);
        };
        V->OnMouseMove = [this](TVisualRoom& Sender, TShiftState Shift, int, int) { vrTopMouseMove(Sender, Shift); };
        V->OnMouseUp = [this](TVisualRoom&, Qt::MouseButton, TShiftState, int, int) { vrTopMouseUp(); };
    }
    vrHeight->SetAxis(apYZ);

    lblModes = Make<QLabel>(this, "lblModes", 304, 134, 200, 14);
    lblModes->setText(QStringLiteral("Modos de la sala"));
    QFont Bold = lblModes->font();
    Bold.setBold(true);
    lblModes->setFont(Bold);
    sgModes = Make<TAdvStringGrid>(this, "sgModes", 304, 150, 338, 172);
    sgModes->setFont(SmallFont());
    sgModes->SetColCount(6);
    sgModes->SetDefaultRowHeight(16);
    const int Widths[] = {29, 57, 45, 47, 45, 87};
    for (int C = 0; C < 6; ++C)
        sgModes->SetColWidth(C, Widths[C]);
    sgModes->setAccessibleName(lblModes->text());
    lblModes->setBuddy(sgModes);
    sgModes->OnClick = [this](TAdvStringGrid&) { RunReported([this] { sgModesClick(); }); };

    GroupBox1 = Make<QGroupBox>(this, "GroupBox1", 304, 326, 232, 96);
    lblSeconds = Make<QLabel>(GroupBox1, "lblSeconds", 8, 12, 64, 14);
    lblSeconds->setText(QStringLiteral("Duración (s)"));
    edSeconds = Make<QLineEdit>(GroupBox1, "edSeconds", 74, 10, 40, 20);
    edSeconds->setText(QStringLiteral("8"));
    edSeconds->setAccessibleName(lblSeconds->text());
    lblSeconds->setBuddy(edSeconds);
    btnSave = IconButton(GroupBox1, "btnSave", 122, QStyle::SP_DialogSaveButton, QStringLiteral("Salvar a disco..."));
    btnPlaySound = IconButton(GroupBox1, "btnPlaySound", 150, QStyle::SP_MediaPlay, QStringLiteral("Reproducir"));
    btnSelectConflict = IconButton(GroupBox1, "btnSelectConflict", 178, QStyle::SP_DialogApplyButton,
                                   QStringLiteral("Seleccionar modos conflictivos"));
    btnVelmor = Make<QPushButton>(GroupBox1, "btnVelmor", 8, 36, 216, 22);
    btnVelmor->setFlat(true);
    btnVelmor->setText(QStringLiteral("Crear CD Velmor acústica"));
    btnVelmor->setToolTip(QStringLiteral("Crear velmor acústica en CD"));
    lblAtenuation = Make<QLabel>(GroupBox1, "lblAtenuation", 8, 66, 60, 14);
    lblAtenuation->setText(QStringLiteral("Atenuación"));
    tbAtenuation = Make<QSlider>(GroupBox1, "tbAtenuation", 68, 62, 110, 26);
    tbAtenuation->setOrientation(Qt::Horizontal);
    tbAtenuation->setRange(0, 12);
    tbAtenuation->setSingleStep(1);
    tbAtenuation->setPageStep(1);
    tbAtenuation->setTickInterval(1);
    tbAtenuation->setTickPosition(QSlider::TicksBelow);
    tbAtenuation->setValue(6);
    tbAtenuation->setAccessibleName(lblAtenuation->text());
    lblAtenuation->setBuddy(tbAtenuation);
    edAtenuation = Make<QLineEdit>(GroupBox1, "edAtenuation", 182, 64, 42, 20);
    edAtenuation->setReadOnly(true);
    edAtenuation->setAccessibleName(QStringLiteral("Atenuación (dB)"));
    Paint(edAtenuation, QColor(166, 202, 240));

    gbModes = Make<QGroupBox>(this, "gbModes", 540, 326, 102, 96);
    gbModes->setTitle(QStringLiteral("Modos"));
    cbAxial = Make<QCheckBox>(gbModes, "cbAxial", 8, 20, 90, 18);
    cbAxial->setText(QStringLiteral("Axiales"));
    cbAxial->setChecked(true);
    cbTangential = Make<QCheckBox>(gbModes, "cbTangential", 8, 44, 90, 18);
    cbTangential->setText(QStringLiteral("Tangenciales"));
    cbOblique = Make<QCheckBox>(gbModes, "cbOblique", 8, 68, 90, 18);
    cbOblique->setText(QStringLiteral("Oblicuos"));

    lblHint = Make<QLabel>(this, "lblHint", 4, 426, 638, 14);
    // Empty at rest: the reader still needs to know what the line is for.
    lblHint->setAccessibleName(QStringLiteral("Estado"));
    pbTones = Make<QProgressBar>(this, "pbTones", 4, 444, 638, 10);
    pbTones->setRange(0, 100);
    pbTones->setValue(0);
    pbTones->setTextVisible(false);
    pbTones->setAccessibleName(QStringLiteral("Progreso"));

    SaveDialog = new QFileDialog(this);
    SaveDialog->setObjectName(QString());
    SaveDialog->setAcceptMode(QFileDialog::AcceptSave);
    SaveDialog->setFileMode(QFileDialog::AnyFile);
    SaveDialog->setDefaultSuffix(QStringLiteral("wav"));
    SaveDialog->setNameFilter(QStringLiteral("PCM Wav (*.wav)"));
    // Qt's own dialog: the same on every desktop and reachable by screen readers.
    SaveDialog->setOption(QFileDialog::DontUseNativeDialog, true);
    SaveDialog->setWindowTitle(QStringLiteral("Salvar a disco"));

    const auto Guarded = [](auto Handler) { return [Handler] { RunReported(Handler); }; };
    connect(edSeconds, &QLineEdit::textChanged, this, [this] { edSecondsChange(); });
    connect(tbAtenuation, &QSlider::valueChanged, this, [this] { tbAtenuationChange(); });
    connect(btnPlaySound, &QPushButton::clicked, this, Guarded([this] { btnPlaySoundClick(); }));
    connect(btnSave, &QPushButton::clicked, this, Guarded([this] { btnSaveClick(); }));
    connect(btnSelectConflict, &QPushButton::clicked, this, Guarded([this] { btnSelectConflictClick(); }));
    connect(btnVelmor, &QPushButton::clicked, this, Guarded([this] { btnVelmorClick(); }));
    for (QCheckBox* B : {cbAxial, cbTangential, cbOblique})
        connect(B, &QCheckBox::toggled, this, Guarded([this] { cbAxialClick(); }));
}

void TfrmTones::SetRoom(TRoom& Room)
{
    FRoom = &Room;
    FMarked.clear();
    FModes->Compute(Room, GetModeKinds());
    FillModesGrid();
    vrTop->SetRoom(&Room);
    vrTop->FitToParent();
    vrHeight->SetRoom(&Room);
    vrHeight->FitToParent();
}

TModeKinds TfrmTones::GetModeKinds() const
{
    return ModeKindsOf(cbAxial->isChecked(), cbTangential->isChecked(), cbOblique->isChecked());
}

void TfrmTones::FillModesGrid()
{
    if (FModes->Count() == 0 || FRoom == nullptr) {
        sgModes->ClearRows();
        return;
    }
    const auto Rows = ModeRowTexts(ModeList(*FModes), FRoom->GetWidth(), FRoom->GetDepth(), FRoom->GetHeight());
    sgModes->SetRowCount(static_cast<int>(Rows.size()) + 1);
    for (std::size_t I = 0; I < Rows.size(); ++I)
        for (int C = 0; C < 6; ++C)
            sgModes->SetCell(C, static_cast<int>(I) + 1, QString::fromStdString(Rows[I][static_cast<std::size_t>(C)]));
}

void TfrmTones::showEvent(QShowEvent* Event)
{
    TfrmScalable::showEvent(Event);
    if (!FShown) {
        FShown = true;
        RunReported([this] { sgModesClick(); });
    }
}

void TfrmTones::FormResize()
{
    TfrmScalable::FormResize();
    if (!FModes)
        return;
    vrTop->FitToParent();
    vrHeight->FitToParent();
    RedrawMaps();
}

void TfrmTones::RedrawMaps()
{
    DrawModePressureMap(*vrTop, FMarked);
    vrTop->Repaint();
    DrawModePressureMap(*vrHeight, FMarked);
    vrHeight->Repaint();
}

void TfrmTones::cbAxialClick()
{
    FMarked.clear();
    FModes->Compute(*FRoom, GetModeKinds());
    FillModesGrid();
    // The marks stay on their rows, which now show other modes: the maps,
    // node marks and tone follow them at once.
    sgModesClick();
}

void TfrmTones::sgModesClick()
{
    FToneDirty = true;
    FMarked = MarkedModes(*FModes, *sgModes);
    RedrawMaps();
}

void TfrmTones::btnSelectConflictClick()
{
    for (int Row = 0; Row < sgModes->RowCount(); ++Row)
        sgModes->SetRowMarked(Row, false);
    for (const int Row : ConflictRows(ModeList(*FModes)))
        sgModes->SetRowMarked(Row, true);
    sgModesClick();
}

void TfrmTones::vrTopPaint(TVisualRoom& View, TCanvas& Canvas)
{
    DrawNodeMarks(View, Canvas, View.width(), View.height(), FMarked);
}

void TfrmTones::vrTopMouseDown(TVisualRoom& Sender, int X, int Y)
{
    FDragItem = Sender.ItemAt(X, Y);
}

void TfrmTones::vrTopMouseMove(TVisualRoom& Sender, TShiftState Shift)
{
    if (!Shift.LeftHeld() || FDragItem == nullptr)
        return;
    if (&Sender != vrTop)
        vrTop->Repaint();
    if (&Sender != vrHeight)
        vrHeight->Repaint();
}

void TfrmTones::vrTopMouseUp()
{
    FDragItem = nullptr;
}

void TfrmTones::edSecondsChange()
{
    FToneDirty = true;
}

void TfrmTones::tbAtenuationChange()
{
    edAtenuation->setText(QStringLiteral("-%1 db").arg(tbAtenuation->value()));
    FToneDirty = true;
}

int TfrmTones::Seconds() const
{
    return CleanStrToInt(edSeconds->text().toStdString());
}

bool TfrmTones::CanMakeTone()
{
    if (!FToneStream || !FToneGenerator) {
        ReportError(NoToneMessage);
        return false;
    }
    if (const auto Refusal = DurationRefusal(Seconds(), FAudio->Player()->SampleRate())) {
        ReportError(QString::fromStdString(*Refusal));
        return false;
    }
    return true;
}

void TfrmTones::PrepareTone()
{
    if (!FToneDirty || !FToneGenerator || FPreparing)
        return;
    FToneDirty = false;
    FToneGenerator->Clear();
    for (const TMode* M : MarkedModes(*FModes, *sgModes))
        FToneGenerator->Add(std::make_unique<TTone>(tkLinearSweep, M->GetFrequency(), M->GetFrequency(), 0.0f));
    const int Duration = Seconds();
    if (FToneGenerator->Count() == 0)
        return;
    FToneGenerator->SetLevel(static_cast<float>(-tbAtenuation->value()));
    FToneGenerator->SetOnProgress(&ToneProgress);
    FPreparing = true;
    try {
        FToneGenerator->Generate(FAudio->Player()->SampleRate(), static_cast<float>(Duration));
    } catch (...) {
        FPreparing = false;
        FToneGenerator->SetOnProgress(nullptr);
        pbTones->setValue(0);
        // A store that is not whole must never be played or saved.
        FToneDirty = true;
        try {
            FToneStream->SetSize(0);
        } catch (const EStreamError&) {
        }
        throw;
    }
    FPreparing = false;
    ++FToneGenerations;
    FToneGenerator->SetOnProgress(nullptr);
    pbTones->setValue(0);
}

void TfrmTones::ToneProgress(int Position, int Total)
{
    if (frmTones == nullptr)
        return;
    frmTones->pbTones->setValue(Position);
    if (Total != frmTones->pbTones->maximum())
        frmTones->pbTones->setMaximum(Total);
    // A long tone keeps the window drawn and the bar moving; user input waits
    // until the tone is ready, so nothing can start a second synthesis.
    static QElapsedTimer Since;
    if (!Since.isValid() || Since.elapsed() >= 100) {
        Since.start();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
}

void TfrmTones::btnPlaySoundClick()
{
    if (!CanMakeTone())
        return;
    PrepareTone();
    lblHint->clear();
    if (FToneStream->Size() == 0) {
        lblHint->setText(QStringLiteral("No hay ningún tono que reproducir: marque un modo y elija una duración."));
        return;
    }
    TPlayer* Player = FAudio->Player();
    // A new Play replaces the sound that is playing instead of queueing after it.
    if (Player->Active())
        Player->Stop();
    Player->PlayStream(FToneStream.get(), nullptr, 0);
    if (!Player->Active())
        lblHint->setText(QStringLiteral("No se puede reproducir el tono: ") + QString::fromStdString(FAudio->LastError()));
}

QString TfrmTones::AskFileName()
{
    SaveDialog->selectFile(FLastFileName);
    if (SaveDialog->exec() != QDialog::Accepted)
        return {};
    const QString Name = SaveDialog->selectedFiles().value(0);
    FLastFileName = Name;
    return Name;
}

void TfrmTones::btnSaveClick()
{
    if (!CanMakeTone())
        return;
    const QString Name = AskFileName();
    if (Name.isEmpty())
        return;
    PrepareTone();
    FAudio->Recorder()->SaveToWaveFile(Name.toStdString(), FToneStream.get(), nullptr);
}

void TfrmTones::btnVelmorClick()
{
    if (TrackSetRunning())
        return;
    if (!CanMakeTone())
        return;
    if (FModes->Count() == 0) {
        ReportError(QStringLiteral("No hay ningún modo en la lista: no se ha escrito ninguna pista."));
        return;
    }
    FLastFileName = QStringLiteral("Modo.wav");
    const QString Name = AskFileName();
    if (Name.isEmpty())
        return;
    mmTracks->clear();
    FToneDirty = true;
    const TTrackSetNames Names = TrackSetNames(Name.toStdString());
    TTrackSetRequest Request;
    Request.Modes = ModeList(*FModes);
    Request.Seconds = Seconds();
    Request.Level = static_cast<float>(-tbAtenuation->value());
    Request.SampleRate = FAudio->Player()->SampleRate();
    Request.Folder = Names.Folder;
    Request.Base = Names.Base;
    Request.ListFile = Names.ListFile;

    SetTrackSetControls(false);
    FCancel.store(false);
    FTrackThread = std::thread([this, Job = TTrackSetJob(std::move(Request))] {
        TTrackSetResult Result =
            Job.Run([this](const TTrackSetProgress& P) { TrackSetProgress(P); }, FCancel);
        QMetaObject::invokeMethod(
            this, [this, R = std::move(Result)] { TrackSetFinished(R); }, Qt::QueuedConnection);
    });
}

void TfrmTones::SetTrackSetControls(bool Enabled)
{
    for (QWidget* W : std::initializer_list<QWidget*>{btnPlaySound, btnSave, btnVelmor, cbAxial, cbTangential, cbOblique})
        W->setEnabled(Enabled);
}

// On the worker thread: keeps the latest report and posts one update at a
// time, so the user-interface thread is never flooded.
void TfrmTones::TrackSetProgress(const TTrackSetProgress& Progress)
{
    {
        const std::lock_guard Lock(FProgressMutex);
        FLatestProgress = Progress;
    }
    if (!FProgressPosted.exchange(true, std::memory_order_acq_rel))
        QMetaObject::invokeMethod(this, [this] { ShowTrackSetProgress(); }, Qt::QueuedConnection);
}

void TfrmTones::ShowTrackSetProgress()
{
    FProgressPosted.store(false, std::memory_order_release);
    TTrackSetProgress P;
    {
        const std::lock_guard Lock(FProgressMutex);
        P = FLatestProgress;
    }
    if (!TrackSetRunning())
        return;
    lblHint->setText(QStringLiteral("Calculando %1 (%2/%3)").arg(QString::fromStdString(P.Name)).arg(P.Track).arg(P.Tracks));
    pbTones->setValue(P.Position);
    if (P.Total != pbTones->maximum())
        pbTones->setMaximum(P.Total);
}

void TfrmTones::TrackSetFinished(const TTrackSetResult& Result)
{
    if (FTrackThread.joinable())
        FTrackThread.join();
    SetTrackSetControls(true);
    lblHint->clear();
    if (Result.Status == TTrackSetResult::Done)
        lblHint->setText(QString::fromStdString(Result.CdPlan));
    pbTones->setValue(0);
    QString List = QString::fromStdString(Result.List);
    List.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (List.endsWith(QLatin1Char('\n')))
        List.chop(1);
    mmTracks->setPlainText(List);
    if (Result.Status == TTrackSetResult::Failed || Result.Status == TTrackSetResult::Refused)
        ReportError(QString::fromStdString(Result.Message));
}

void TfrmTones::StopTrackSet()
{
    FCancel.store(true);
    if (FTrackThread.joinable())
        FTrackThread.join();
}

void TfrmTones::done(int Result)
{
    // Closing ends the track set after the samples being written now; the
    // window waits for the worker only when it is destroyed.
    FCancel.store(true);
    TfrmScalable::done(Result);
}
