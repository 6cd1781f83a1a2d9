#pragma once
// TfrmMain: the launcher, the program's first and last window. It owns the
// one room of the run, shows its dimensions, applies the default placement of
// the loudspeakers and the listener, and opens the two modules and the room
// setup dialog as modal windows. Closing it ends the program. GUI thread only.

#include <QLabel>
#include <QWidget>

#include <functional>
#include <memory>
#include <span>

#include "model/Room.h"

class QFrame;
class QLineEdit;
class QPushButton;

// A picture that acts as a button: a left click released over it runs OnClick.
class TPictureBox : public QLabel {
public:
    explicit TPictureBox(QWidget* Parent);

    std::function<void()> OnClick;

protected:
    void mouseReleaseEvent(QMouseEvent* Event) override;
};

class TfrmMain : public QWidget {
public:
    // The JPEG bytes of the two illustrations; a picture that does not decode
    // leaves its place empty.
    struct TPictures {
        std::span<const unsigned char> Footprint;
        std::span<const unsigned char> RoomEq;
    };
    // The pictures built into the program.
    static TPictures EmbeddedPictures();

    // Builds the window (client area 540 x 365, fixed) and runs FormCreate.
    explicit TfrmMain(const TPictures& Pictures = EmbeddedPictures(), QWidget* Parent = nullptr);
    ~TfrmMain() override;

    // The shared room: created with the window, alive until it is destroyed.
    TRoom& Room() { return *FRoom; }

    // Loudspeakers at 0.276 and 1 - 0.276 of the width and 0.384 of the depth
    // (the right one at the left one's height), the listener at the third
    // corner of the equilateral triangle, every intermediate held as float.
    // Neither mirrors nor clamps: with a room much wider than deep the
    // listener may end beyond the back wall.
    void PlaceDefaultLayout();
    // Fills edDepth, edWidth and edHeight with FormatShort of the room's size.
    void ShowDimensions();

    // "Iniciar" of the footprint module (also a click on Image1): runs
    // OnOpenFootprint with the room when one is set.
    void btnVelmorClick();
    // "Iniciar" of the room-as-equaliser module (also a click on Image2):
    // runs OnOpenRoomEq with the room when one is set.
    void btnEQClick();
    // "Configurar": the room setup dialog, modal. After OK the room's elements
    // are clamped into the room; after any close the default layout and the
    // dimension boxes are renewed.
    void Button1Click();

    // Open a module window on the room, modally, and destroy it when it
    // closes. Unset, the module's button and picture do nothing.
    std::function<void(TRoom&)> OnOpenFootprint;
    std::function<void(TRoom&)> OnOpenRoomEq;

    // Controls, named as their objectName. Owned by the window.
    QFrame* Bevel1;
    QFrame* Bevel2;
    QFrame* Bevel3;
    TPictureBox* Image1;
    QLabel* Label5;
    QLabel* Label1;
    QPushButton* btnVelmor;
    TPictureBox* Image2;
    QLabel* Label9;
    QLabel* Label2;
    QPushButton* btnEQ;
    QLabel* Label6;
    QLineEdit* edDepth;
    QLineEdit* edWidth;
    QLineEdit* edHeight;
    QPushButton* Button1;

private:
    void FormCreate();

    std::unique_ptr<TRoom> FRoom;
};
