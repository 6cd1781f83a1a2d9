#pragma once
// TfrmMiniRoomSetup: the modal dialog in which the user edits the shared
// room: its three dimensions, the air temperature (with the speed of sound
// it gives shown beside it, live), the woofers' height and the listener's
// ear height. Nothing reaches the room before "Ok"; then every box is read
// tolerantly (unreadable text is 0) and handed to the room's own setters,
// which ignore impossible dimensions. No message is ever shown.
//
// Neither button is the default or the cancel button: Enter in an edit box
// does nothing, Enter or Space on a focused button presses it, and Escape
// does nothing (so a stray key never throws away what was typed). Closing
// the window through its frame is a Cancel. GUI thread only.

#include <QDialog>

#include "model/Room.h"
#include "views/Scalable.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TfrmMiniRoomSetup : public TfrmScalable {
public:
    // Builds the dialog (client area 296 x 220, fixed, centred on the screen)
    // and runs the base FormCreate.
    explicit TfrmMiniRoomSetup(QWidget* Parent = nullptr);
    ~TfrmMiniRoomSetup() override;

    // The room to edit; not owned, must outlive the dialog. Set before showing.
    void SetRoom(TRoom& Room) { FRoom = &Room; }
    TRoom* GetRoom() const { return FRoom; }

    // On showing: LoadFromRoom(FRoom) and focus on the first box.
    void FormShow();
    // Fills every box from Room with FormatShort, in the order width, depth,
    // height, temperature, speed of sound, listener height, woofer height.
    void LoadFromRoom(const TRoom& Room);
    // edSoundSpeed := FormatShort(temperature box * 0.6 + 331).
    void edTemperatureChange();
    // Writes the boxes into the room: width, depth, height, temperature, then
    // the right and the left loudspeaker's height, then the listener's.
    // X and Y of the elements are not touched, nothing is clamped here.
    void btnOkClick();

    // Controls, named as their objectName. Owned by the dialog.
    QGroupBox* GroupBox1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLineEdit* edDepth;
    QLineEdit* edWidth;
    QLineEdit* edHeight;
    QLineEdit* edTemperature;
    QLineEdit* edSoundSpeed;
    QGroupBox* GroupBox2;
    QLabel* Label6;
    QLabel* Label7;
    QLineEdit* edSpeakerPosZ;
    QLineEdit* edListenerPosZ;
    QPushButton* btnOk;
    QPushButton* btnCancel;

protected:
    void showEvent(QShowEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;

private:
    TRoom* FRoom = nullptr;
};

// The dialog while the launcher shows it; none otherwise.
extern TfrmMiniRoomSetup* frmMiniRoomSetup;
