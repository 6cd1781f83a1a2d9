#pragma once
// "Respuesta en el punto de escucha": the companion of the "Quorvan" window.
// Its bars say how strongly each mode couples a loudspeaker to the seat; this
// window shows what the listener hears, the damped sum of all modes, and
// where in the plan that sum would be flattest.
//
// Tab "Respuesta": the level at the listener against frequency (logarithmic
// axis, 0 dB at the band's mean), the Schroeder frequency with the band
// above it shaded (the modal model no longer holds there), the bars' mode
// frequencies as ticks, the reverberation time and the source choice, and
// the level under the pointer as text.
// Tab "Mejor punto": the plan at the listener's ear height coloured by the
// flatness (standard deviation in dB) a seat at each point would have, the
// best point marked, and a button that takes the listener there.
//
// Not modal. It never owns the room, which must outlive it; GUI thread only.
// Refresh() must be called after every move of an element.

#include <QWidget>

#include <functional>
#include <vector>

#include "model/Room.h"
#include "model/SeatResponse.h"

class QAreaSeries;
class QChart;
class QChartView;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineSeries;
class QLogValueAxis;
class QPushButton;
class QScatterSeries;
class QTabWidget;
class QValueAxis;

// The plan coloured by the flatness map.
class TFlatnessPlan : public QWidget {
public:
    explicit TFlatnessPlan(QWidget* Parent);
    void SetMap(const TFlatnessMap* Map, const TRoom* Room);
    // Where the plan is drawn in the widget, and the point of the room at a
    // pixel of it.
    QRectF PlanRect() const;
    QPointF ToPixel(double X, double Y) const;

protected:
    void paintEvent(QPaintEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;

private:
    void Render();
    const TFlatnessMap* FMap = nullptr;
    const TRoom* FRoom = nullptr;
    QImage FImage;
};

class TSeatResponseWindow : public QWidget {
public:
    enum TSource { srRight = 0, srLeft = 1, srBoth = 2 };

    // ModeFrequencies: the bars' modes, drawn as ticks. OnRoomChanged runs
    // after the window moved the listener, so that its owner can follow.
    TSeatResponseWindow(TRoom& Room, std::vector<float> ModeFrequencies, std::function<void()> OnRoomChanged,
                        QWidget* Parent);

    // Recomputes the curve and the map from the room as it is now; cheap
    // while hidden (the work waits for the next show).
    void Refresh();
    // The curve's level (dB, relative to the band's mean) at F, interpolated
    // on the logarithmic frequency axis; the ends hold outside the band.
    double LevelAt(double F) const;
    // The listener to the best point of the map at its own ear height,
    // through the room's move, mirror and clamp steps.
    void BringListener();

    const TSeatCurve& Curve() const { return FResponse.Curve(); }
    const TFlatnessMap& Map() const { return FMap; }
    double SchroederFrequency() const;

    QTabWidget* Tabs;
    QChartView* ChartView;
    QDoubleSpinBox* edT60;
    QComboBox* cbSource;
    QLabel* lbPointer;
    TFlatnessPlan* Plan;
    QLabel* lbBest;
    QPushButton* btBring;

protected:
    void showEvent(QShowEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    TRoomBox Box() const;
    std::vector<TPoint3D> Sources() const;
    void UpdateChart();
    void ShowPointer(const QPoint& ViewPixel);

    TRoom& FRoom;
    std::vector<float> FModeFrequencies;
    std::function<void()> FOnRoomChanged;
    TSeatResponse FResponse;
    TFlatnessMap FMap;
    bool FStale = true;

    QChart* FChart;
    QLineSeries* FCurve;
    QLineSeries* FSchroeder;
    QAreaSeries* FBeyond;
    QLineSeries* FBeyondTop;
    QLineSeries* FBeyondBottom;
    QScatterSeries* FTicks;
    QLogValueAxis* FAxisF;
    QValueAxis* FAxisDb;
};
