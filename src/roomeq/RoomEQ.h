#pragma once
// TfrmRoomEq, "Quorvan": the room-as-equaliser window. The user moves the
// loudspeakers and the listener of the shared room in a plan (vrTop) and an
// elevation (vrHeight), by dragging, by the four arrow buttons or by the
// arrow keys, and sees at once, as a row of level bars, how strongly each
// low mode couples the right loudspeaker to the listener, with read-outs of
// the selected element. Both views are painted over a map of the mean modal
// pressure.
//
// The rules (mode list, levels, bar layout, steps) are the plain functions of
// roomeq/Response.h; this window turns events into calls of them and
// repaints.
//
// Level bars are vertical, inverted, disabled QSliders (Min at the top of the
// track), so that a screen reader reads each as a gauge: its value is the
// bar's Position, its accessible name and description the bar's tooltip
// ("(1,0,0) 23.56 Hz"). Every mode that survives pruning gets a bar; there is
// no cap on their number (a crowded display narrows the bars to 1 pixel but
// keeps every one of them).
//
// Ownership: the window owns its mode list, bars and captions; it never owns
// the room, which must outlive it. Moves stay in the room after the window
// closes. GUI thread only.

#include <QLabel>
#include <QSlider>

#include <vector>

#include "model/Item.h"
#include "model/ModeSPL.h"
#include "model/Modes.h"
#include "model/Room.h"
#include "roomeq/Response.h"
#include "views/Scalable.h"
#include "views/VisualRoom.h"

class QFrame;
class QGroupBox;
class QLineEdit;
class QToolButton;
class TSeatResponseWindow;

// One level bar; it keeps the caption under it (owned by the same parent).
class TLevelBar : public QSlider {
public:
    TLevelBar(QWidget* Parent, QLabel* Caption);
    QLabel* Caption() const { return FCaption; }
    // Where the style draws the thumb, in the bar's pixels.
    QRect ThumbRect() const;

private:
    QLabel* FCaption;
};

class TfrmRoomEq : public TfrmScalable {
public:
    // Builds the window (client area 693 x 351, fixed, centred on the screen)
    // and runs FormCreate.
    explicit TfrmRoomEq(QWidget* Parent = nullptr);
    ~TfrmRoomEq() override;

    // Binds the shared room (not owned) and builds the mode list and the
    // bars; selects the listener with the plan active. Called once, before
    // the window is shown.
    void SetRoom(TRoom& Room);
    TRoom* GetRoom() const { return FRoom; }

    // Bars from the room's right loudspeaker and listener; the read-outs of
    // the selected element, or "-" in every box when none is selected.
    void UpdateReadouts();
    // The weighted mean modal pressure of the list at P (metres), 0 .. 1; 0
    // for an empty list or before SetRoom.
    float MeanPressureAt(const TPoint3D& P) const;
    // Renders the view's pressure map and hands it to the view (no repaint).
    // Nothing before SetRoom.
    void PaintPressureMap(TVisualRoom& View);

    // Mouse press in either view: that view becomes active (its rim
    // RGB(204, 0, 204), the other's black) and the element within 0.3 m of
    // the pixel, or none, becomes the selection; the read-outs are refreshed
    // only when the selection changed.
    void vrTopMouseDown(TVisualRoom& Sender, int X, int Y);
    // Mouse move in either view: during a left-button drag of a selection,
    // both views are repainted and the read-outs refreshed (the view has
    // already moved the element).
    void vrTopMouseMove(TVisualRoom& Sender, TShiftState Shift);
    // One of the four arrow buttons: moves the selection 0.01 m in the frame
    // of the active view, then the partner, clamping, repaints and read-outs.
    // Nothing without a selection.
    void sbArrowClick(QToolButton* Sender);
    // Arrow keys act as the matching button; other keys are ignored. Reached
    // from the window and from every read-out box, whichever has the focus;
    // the box still receives the key.
    void FormKeyDown(int Key);

    // The companion "Respuesta en el punto de escucha" (right click on the
    // bars or Ctrl+R): created on first use, owned by this window, hidden
    // with it, refreshed with the read-outs. None before the first opening.
    void OpenSeatResponse();
    TSeatResponseWindow* SeatResponse() const { return FSeat; }

    // The base re-layout, then the bars, the views' fit and both maps.
    void FormResize() override;
    // Both maps.
    void FormShow();

    // State, for the launcher's callers and for tests.
    const TModeManager& Modes() const { return FModes; }
    const std::vector<TLevelBar*>& Bars() const { return FBars; }
    TItem* Selected() const { return FSelected; }
    TVisualRoom* ActiveView() const { return FActiveView; }

    // Controls, named as their objectName. Owned by the window.
    QFrame* pnRoom;
    TVisualRoom* vrTop;
    QFrame* Panel1;
    TVisualRoom* vrHeight;
    QGroupBox* GroupBox1;
    QToolButton* sbUp;
    QToolButton* sbLeft;
    QToolButton* sbRight;
    QToolButton* sbDown;
    QGroupBox* GroupBox2;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLineEdit* edName;
    QLineEdit* edPosY;
    QLineEdit* edPosX;
    QLineEdit* edPosZ;
    QLineEdit* edSPL;
    QFrame* Panel2;
    QFrame* pnRightEq;
    QLabel* Label6;
    QLabel* Label7;
    QLabel* Label8;

protected:
    void showEvent(QShowEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void CreateBars();
    void DestroyBars();
    void ArrangeBars();
    void UpdateBars();
    void RepaintViews();

    TModeManager FModes;
    std::vector<TWeightedMode> FWeighted;
    TRoom* FRoom = nullptr;
    TItem* FSelected = nullptr;
    std::vector<TLevelBar*> FBars;
    TVisualRoom* FActiveView = nullptr;
    TSeatResponseWindow* FSeat = nullptr;
};

// The window while the launcher shows it; none otherwise.
extern TfrmRoomEq* frmRoomEq;

// The launcher's opening of the module: creates the window, hands it Room,
// shows it modally (frmRoomEq set meanwhile) and destroys it when it closes.
void OpenRoomEq(TRoom& Room);
