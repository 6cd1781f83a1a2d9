#pragma once
// TVisualRoom: the interactive drawing of one plane of the room (floor plan
// apXY, elevations apXZ and apYZ). It draws the background colour, an
// optional picture inside the walls (a pressure map), the walls, the
// loudspeakers and the listener, and optionally the dimension annotations;
// it converts between pixels and room metres, finds the element under a
// pixel, lets the user drag elements with the left button and shows the
// element under the pointer as a tooltip.
//
// Threads: GUI thread only. Ownership: the view never owns the room or its
// elements (the room must outlive the view or be unbound with SetRoom
// (nullptr)); it owns its annotation list, its background picture copy and
// its drawing buffer.
//
// Coordinates: pixels are widget coordinates (0, 0 top-left). For a widget
// of w x h pixels and margin r = Rim the room's plane is stretched over the
// inner rectangle (r, r)-(w - r, h - r), with separate horizontal and
// vertical scales. Room coordinates are metres (see model/Common.h).
//
// Drawing order (DrawRoom): background colour over the whole widget; the
// background picture's inner rectangle; OnPaint; walls; loudspeakers in list
// order; the listener; annotations when ShowAcotation is on; OnOverlay.
//
// Drawing on top of the view from a window (node marks and the like): assign
// OnOverlay. It is called at the end of every drawing of the view, on the
// canvas being drawn (the widget, the off-screen buffer or any QImage given
// to DrawRoom), so what it draws survives the view's own repaints, drags
// included. To change what it draws, change the window's state and call
// Repaint. OnPaint gets the same canvas, but before the walls and symbols.

#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>

#include "model/Canvas.h"
#include "model/Common.h"
#include "model/Item.h"
#include "model/Room.h"
#include "views/Acotations.h"

class QPainter;

// Keys and buttons held during a mouse event, and whether a press is the
// second of a double click.
struct TShiftState {
    Qt::KeyboardModifiers Keys;
    Qt::MouseButtons Buttons;
    bool Double = false;

    bool LeftHeld() const { return Buttons.testFlag(Qt::LeftButton); }
    bool Ctrl() const { return Keys.testFlag(Qt::ControlModifier); }
    bool Shift() const { return Keys.testFlag(Qt::ShiftModifier); }
};

class TVisualRoom : public QWidget {
public:
    // Sender, canvas being drawn (valid only during the call).
    using TPaintEvent = std::function<void(TVisualRoom& Sender, TCanvas& Canvas)>;
    // Sender, button pressed or released, shift state, widget pixel.
    using TMouseEvent = std::function<void(TVisualRoom& Sender, Qt::MouseButton Button, TShiftState Shift, int X, int Y)>;
    // Sender, shift state (Buttons tells which buttons are held), widget pixel.
    using TMouseMoveEvent = std::function<void(TVisualRoom& Sender, TShiftState Shift, int X, int Y)>;

    explicit TVisualRoom(QWidget* Parent = nullptr);
    ~TVisualRoom() override;

    // Published properties. Only SetBackgroundColor repaints (it schedules a
    // paint); the others take effect at the next drawing.
    int Rim() const { return FRim; }                       // pixels, default 5
    void SetRim(int Value) { FRim = Value; }
    int WallSize() const { return FWallSize; }             // pixels, default 5
    void SetWallSize(int Value) { FWallSize = Value; }
    TColor WallColor() const { return FWallColor; }        // default white
    void SetWallColor(TColor Value) { FWallColor = Value; }
    TColor BackgroundColor() const { return FBackgroundColor; } // default black
    void SetBackgroundColor(TColor Value);
    TAxisProjection Axis() const { return FAxis; }         // default apXY
    void SetAxis(TAxisProjection Value) { FAxis = Value; }
    bool ShowAcotation() const { return FShowAcotation; }  // default false
    void SetShowAcotation(bool Value) { FShowAcotation = Value; }
    bool MoveItems() const { return FMoveItems; }          // default true
    void SetMoveItems(bool Value) { FMoveItems = Value; }
    // Whether the tooltip (Hint) may show; switched by the mouse movement:
    // on over an element, off elsewhere.
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value) { FShowHint = Value; }
    QString Hint() const { return toolTip(); }

    // Called while drawing, after the background (and picture), before the
    // walls.
    TPaintEvent OnPaint;
    // Called at the very end of every drawing; see the header comment.
    TPaintEvent OnOverlay;
    // Called after the view's own handling of each mouse event.
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;

    // Binds the room (not owned; nullptr unbinds) and hands it to the
    // annotations. Neither repaints nor fits.
    void SetRoom(TRoom* Room);
    TRoom* Room() const { return FRoom; }

    // Moves and resizes the view inside its parent so that its proportions
    // follow the shown plane: it spans the parent (less one pixel at each
    // end) along the direction that limits it and is centred across. Does
    // nothing without a room or a parent.
    void FitToParent();

    // Keeps a copy of Picture at the view's current size (drawn at (0, 0);
    // only its inner rectangle is ever shown), or drops the kept copy when
    // given nullptr. Does not repaint. Callers build the picture at the
    // view's size after FitToParent.
    void SetBackgroundPicture(const QImage* Picture);
    // The kept copy, or nullptr.
    const QImage* BackgroundPicture() const { return FBackground.get(); }

    // Room point to pixel with the view's current size. Rounds halves to
    // even. Without a room: (0, 0).
    TPixel WorldToScreen(const TPoint3D& P) const;
    // Pixel to room point, no rounding and no clamping: margin pixels give
    // points outside the room. The coordinate the view does not show is 0.
    // Without a room, or in a view not larger than twice its Rim: (0, 0, 0).
    TPoint3D ScreenToWorld(int X, int Y) const;
    // The same for a canvas of Width x Height pixels.
    TPixel WorldToScreen(const TPoint3D& P, int Width, int Height) const;
    TPoint3D ScreenToWorld(int X, int Y, int Width, int Height) const;

    // The element nearest to the pixel in the view's plane, if no farther
    // than 0.3 m (room metres); the listener wins ties. None without a room.
    TItem* ItemAt(int X, int Y) const;
    // The element grabbed by the last mouse press, until the release.
    TItem* DragItem() const { return FDragItem; }

    // Draws the whole view into the buffer and puts it on the screen at once
    // (synchronously when the view is visible). Not to be called from a
    // paint event.
    void Repaint();
    // Draws the whole view on a painter whose device is Width x Height
    // pixels; the painter's font is used for text. Draws nothing without a
    // room.
    void DrawRoom(QPainter& Painter, int Width, int Height);
    // The view as a Width x Height (default: the view's size) picture.
    QImage Render(int Width = -1, int Height = -1);

    // Pixels per metre passed to the element symbols: the horizontal scale
    // of the inner rectangle, never below 100.
    float SymbolScale(int Width) const;
    // The parts of DrawRoom that go through a canvas, for a canvas of
    // Width x Height pixels; nothing without a room.
    void DrawElements(TCanvas& Canvas, int Width, int Height);
    void DrawAcotations(TCanvas& Canvas, int Width, int Height);
    const TAcotationManager& Acotations() const { return *FAcotations; }

protected:
    void paintEvent(QPaintEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseDoubleClickEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    bool event(QEvent* Event) override;

private:
    // The paint handler: draws the view directly on the widget.
    void Paint(QPainter& Painter);
    void MousePressed(QMouseEvent* Event, bool Double);
    bool HasInnerArea(int Width, int Height) const;
    void DrawDistanceCote(TCanvas& Canvas, const TCote& Cote, int Width, int Height);
    void DrawWallCote(TCanvas& Canvas, const TCote& Cote, int Width, int Height);
    void DrawHeightLabel(TCanvas& Canvas, const TCote& Cote, int Width, int Height);

    int FRim = 5;
    int FWallSize = 5;
    TColor FWallColor = RGB(255, 255, 255);
    TColor FBackgroundColor = RGB(0, 0, 0);
    TAxisProjection FAxis = apXY;
    bool FShowAcotation = false;
    bool FMoveItems = true;
    bool FShowHint = false;

    TRoom* FRoom = nullptr;
    std::unique_ptr<TAcotationManager> FAcotations;
    std::unique_ptr<QImage> FBackground;
    QImage FBuffer;
    // True only while Repaint has the platform show the freshly drawn buffer.
    bool FBufferFresh = false;
    TItem* FDragItem = nullptr;
};
