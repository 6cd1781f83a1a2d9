#pragma once
// TfrmTones, "Velmor acústica": the room's modes of the chosen kinds in a
// table, the pressure maps of the marked modes over a plan and an elevation
// with the node marks of a single axial mode, the marked modes as a test
// tone (played or saved as a WAV file) and every listed mode as a WAV track
// of a test CD.
//
// Threads: GUI thread, except the track set, which runs as a TTrackSetJob on
// a worker thread; its progress is posted back and shown in lblHint and
// pbTones. While it runs, play, save, the kind boxes and the track set button
// are disabled; closing the window cancels it (the track being written is
// dropped, finished tracks stay, no list is written) and the window waits for
// the worker before it goes.
//
// Ownership: the room is the launcher's and must outlive the window; the
// window owns its mode list, tone generator, sample store "TONE.$$$" (in the
// current directory at creation, deleted with the window) and sound
// component. Every handler that can fail reports through ReportError; no
// exception leaves a handler.

#include <QString>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "footprint/ToneGenerator.h"
#include "footprint/TrackSet.h"
#include "model/Modes.h"
#include "model/Room.h"
#include "views/Scalable.h"
#include "views/VisualRoom.h"

class QCheckBox;
class QFileDialog;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSlider;
class TAdvStringGrid;
class TAudio;
class TFileStream;
class TWaveOutBackend;

class TfrmTones : public TfrmScalable {
public:
    // Backend none: the sound component's default device back end.
    explicit TfrmTones(QWidget* Parent = nullptr, std::shared_ptr<TWaveOutBackend> Backend = nullptr);
    ~TfrmTones() override;

    // Binds the room (once, before showing), lists its modes and fits the views.
    void SetRoom(TRoom& Room);
    TModeKinds GetModeKinds() const;
    void FillModesGrid();

    void FormResize() override;
    void cbAxialClick();
    void sgModesClick();
    void btnSelectConflictClick();
    void edSecondsChange();
    void tbAtenuationChange();
    void btnPlaySoundClick();
    void btnSaveClick();
    void btnVelmorClick();
    // Makes the sample store match the marked modes, duration and
    // attenuation, if it is out of date. Throws on file errors.
    void PrepareTone();
    // The tone generator's progress callback, through frmTones.
    static void ToneProgress(int Position, int Total);

    // State, for the window's tests.
    bool ToneDirty() const { return FToneDirty; }
    bool HasToneStore() const { return FToneStream != nullptr; }
    TFileStream* ToneStore() const { return FToneStream.get(); }
    const TModeManager& Modes() const { return *FModes; }
    bool TrackSetRunning() const { return FTrackThread.joinable(); }
    TAudio& Audio() const { return *FAudio; }
    // Number of times the sample store was synthesised.
    int ToneGenerations() const { return FToneGenerations; }

    // Controls, named as their objectName.
    QFrame* pnRoom;
    TVisualRoom* vrTop;
    QPlainTextEdit* mmTracks;
    QFrame* pnHeight;
    TVisualRoom* vrHeight;
    QLabel* lblModes;
    TAdvStringGrid* sgModes;
    QGroupBox* GroupBox1;
    QLabel* lblSeconds;
    QLineEdit* edSeconds;
    QPushButton* btnSave;
    QPushButton* btnPlaySound;
    QPushButton* btnSelectConflict;
    QPushButton* btnVelmor;
    QLabel* lblAtenuation;
    QSlider* tbAtenuation;
    QLineEdit* edAtenuation;
    QGroupBox* gbModes;
    QCheckBox* cbAxial;
    QCheckBox* cbTangential;
    QCheckBox* cbOblique;
    QLabel* lblHint;
    QProgressBar* pbTones;
    QFileDialog* SaveDialog;

    static constexpr const char* ToneFileName = "TONE.$$$";

public:
    void done(int Result) override;

protected:
    void showEvent(QShowEvent* Event) override;

private:
    void BuildControls();
    void vrTopPaint(TVisualRoom& View, TCanvas& Canvas);
    void vrTopMouseDown(TVisualRoom& Sender, int X, int Y);
    void vrTopMouseMove(TVisualRoom& Sender, TShiftState Shift);
    void vrTopMouseUp();
    void RedrawMaps();
    // False (after telling the user) when no tone can be made now.
    bool CanMakeTone();
    int Seconds() const;
    // Shows the save dialog at the last name; the chosen name or empty.
    QString AskFileName();
    void SetTrackSetControls(bool Enabled);
    void TrackSetProgress(const TTrackSetProgress& Progress);
    void ShowTrackSetProgress();
    void TrackSetFinished(const TTrackSetResult& Result);
    void StopTrackSet();

    TRoom* FRoom = nullptr;
    std::unique_ptr<TModeManager> FModes;
    std::unique_ptr<TFileStream> FToneStream;
    std::unique_ptr<TToneGenerator> FToneGenerator;
    std::string FTonePath;
    bool FToneDirty = true;
    bool FPreparing = false;
    int FToneGenerations = 0;
    TItem* FDragItem = nullptr;
    // The marked rows' modes, read once per change of the marks or the list.
    std::vector<const TMode*> FMarked;
    TAudio* FAudio;
    QString FLastFileName;
    bool FShown = false;

    std::thread FTrackThread;
    std::atomic<bool> FCancel{false};
    std::mutex FProgressMutex;
    TTrackSetProgress FLatestProgress;
    std::atomic<bool> FProgressPosted{false};
};

// The open modes window, or none.
extern TfrmTones* frmTones;
