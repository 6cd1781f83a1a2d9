#include "roomeq/SeatResponseWindow.h"

#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScatterSeries>
#include <QShowEvent>
#include <QTabWidget>
#include <QValueAxis>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

#include "model/Utilities.h"
#include "views/ErrorReport.h"

namespace {

QString Short(double V) { return QString::fromStdString(FormatShort(static_cast<float>(V))); }

QColor RampColor(float T)
{
    std::uint8_t R = 0, G = 0, B = 0;
    ValueToRGB(T, R, G, B);
    return QColor(R, G, B);
}

constexpr int ScaleWidth = 14;
constexpr int ScaleRoom = 76; // the colour scale and its labels, right of the plan

} // namespace

TFlatnessPlan::TFlatnessPlan(QWidget* Parent) : QWidget(Parent)
{
    setMinimumSize(260, 200);
    setAccessibleName(QStringLiteral("Mapa de planitud"));
}

void TFlatnessPlan::SetMap(const TFlatnessMap* Map, const TRoom* Room)
{
    FMap = Map;
    FRoom = Room;
    Render();
    update();
}

QRectF TFlatnessPlan::PlanRect() const
{
    const QRectF Area(10, 10, std::max(width() - 20 - ScaleRoom, 1), std::max(height() - 20, 1));
    if (FMap == nullptr || FMap->Columns == 0)
        return Area;
    const double Aspect = FMap->Width / FMap->Depth;
    double W = Area.width(), H = W / Aspect;
    if (H > Area.height()) {
        H = Area.height();
        W = H * Aspect;
    }
    return QRectF(Area.left(), Area.top(), std::floor(W), std::floor(H));
}

QPointF TFlatnessPlan::ToPixel(double X, double Y) const
{
    const QRectF R = PlanRect();
    if (FMap == nullptr || FMap->Columns == 0)
        return R.topLeft();
    return {R.left() + X / FMap->Width * R.width(), R.top() + Y / FMap->Depth * R.height()};
}

void TFlatnessPlan::resizeEvent(QResizeEvent* Event)
{
    QWidget::resizeEvent(Event);
    Render();
}

void TFlatnessPlan::Render()
{
    if (FMap == nullptr || FMap->Columns == 0) {
        FImage = QImage();
        return;
    }
    const QRectF R = PlanRect();
    const int W = static_cast<int>(R.width()), H = static_cast<int>(R.height());
    std::vector<float> Values;
    RenderFlatness(*FMap, W, H, Values);
    FImage = QImage(W, H, QImage::Format_RGB32);
    const float Span = std::max(FMap->MaxStdDb - FMap->MinStdDb, 1e-6f);
    for (int Y = 0; Y < H; ++Y) {
        auto* Line = reinterpret_cast<QRgb*>(FImage.scanLine(Y));
        for (int X = 0; X < W; ++X)
            Line[X] = RampColor((Values[static_cast<std::size_t>(Y) * static_cast<std::size_t>(W) +
                                        static_cast<std::size_t>(X)] -
                                 FMap->MinStdDb) /
                                Span)
                          .rgb();
    }
}

void TFlatnessPlan::paintEvent(QPaintEvent*)
{
    QPainter P(this);
    P.fillRect(rect(), palette().window());
    if (FImage.isNull() || FMap == nullptr) {
        P.drawText(rect(), Qt::AlignCenter, QStringLiteral("Sin datos"));
        return;
    }
    const QRectF R = PlanRect();
    P.drawImage(R.topLeft(), FImage);
    P.setPen(QPen(Qt::black, 2));
    P.drawRect(R);

    // The colour scale: the flattest value at the bottom.
    const QRectF Scale(R.right() + 12, R.top() + 14, ScaleWidth, std::max(R.height() - 28, 20.0));
    for (int Y = 0; Y < static_cast<int>(Scale.height()); ++Y) {
        P.setPen(RampColor(1.0f - static_cast<float>(Y) / static_cast<float>(Scale.height())));
        P.drawLine(QPointF(Scale.left(), Scale.top() + Y), QPointF(Scale.right(), Scale.top() + Y));
    }
    P.setPen(palette().windowText().color());
    P.drawRect(Scale);
    P.drawText(QPointF(Scale.left() - 4, R.top() + 8), QStringLiteral("Desv. dB"));
    const float Mid = (FMap->MinStdDb + FMap->MaxStdDb) / 2;
    const struct {
        double Y;
        float V;
    } Labels[] = {{Scale.top(), FMap->MaxStdDb}, {Scale.center().y(), Mid}, {Scale.bottom(), FMap->MinStdDb}};
    for (const auto& L : Labels)
        P.drawText(QPointF(Scale.right() + 4, L.Y + 4), Short(L.V) + QStringLiteral(" dB"));

    // The elements, then the best point.
    if (FRoom != nullptr) {
        for (int I = 0; I < FRoom->Speakers().Count(); ++I) {
            const TPoint3D S = FRoom->Speakers().GetSpeaker(I)->GetPosition();
            P.setPen(Qt::black);
            P.setBrush(Qt::white);
            P.drawRect(QRectF(ToPixel(S.X, S.Y) - QPointF(4, 4), QSizeF(8, 8)));
        }
        const TPoint3D L = FRoom->Listener().GetPosition();
        P.setBrush(QColor(0, 0, 255));
        P.drawEllipse(ToPixel(L.X, L.Y), 5, 5);
    }
    const QPointF B = ToPixel(FMap->Best.X, FMap->Best.Y);
    P.setBrush(Qt::NoBrush);
    P.setPen(QPen(Qt::white, 2));
    P.drawEllipse(B, 7, 7);
    P.drawLine(B - QPointF(10, 0), B + QPointF(10, 0));
    P.drawLine(B - QPointF(0, 10), B + QPointF(0, 10));
}

TSeatResponseWindow::TSeatResponseWindow(TRoom& Room, std::vector<float> ModeFrequencies,
                                         std::function<void()> OnRoomChanged, QWidget* Parent)
    : QWidget(Parent, Qt::Window), FRoom(Room), FModeFrequencies(std::move(ModeFrequencies)),
      FOnRoomChanged(std::move(OnRoomChanged))
{
    setObjectName(QStringLiteral("frmSeatResponse"));
    setWindowTitle(QStringLiteral("Respuesta en el punto de escucha"));
    resize(640, 460);

    Tabs = new QTabWidget(this);
    Tabs->setAccessibleName(QStringLiteral("Vistas de la respuesta"));
    auto* Outer = new QVBoxLayout(this);
    Outer->addWidget(Tabs);

    // "Respuesta"
    auto* Page1 = new QWidget(Tabs);
    auto* Column = new QVBoxLayout(Page1);
    FChart = new QChart;
    FChart->legend()->hide();
    FAxisF = new QLogValueAxis(FChart);
    // Octave steps label the axis at 16, 32, 64, 128 and 256 Hz.
    FAxisF->setBase(2.0);
    FAxisF->setRange(SeatLowFrequency, SeatHighFrequency);
    FAxisF->setLabelFormat(QStringLiteral("%g"));
    FAxisF->setMinorTickCount(8);
    FAxisF->setTitleText(QStringLiteral("Frecuencia (Hz)"));
    FAxisDb = new QValueAxis(FChart);
    FAxisDb->setTitleText(QStringLiteral("Nivel (dB, 0 = media)"));
    FAxisDb->setTickType(QValueAxis::TicksDynamic);
    FAxisDb->setTickAnchor(0.0);
    FAxisDb->setTickInterval(10.0);
    FAxisDb->setLabelFormat(QStringLiteral("%.0f"));
    FChart->addAxis(FAxisF, Qt::AlignBottom);
    FChart->addAxis(FAxisDb, Qt::AlignLeft);
    FBeyondTop = new QLineSeries(FChart);
    FBeyondBottom = new QLineSeries(FChart);
    FBeyond = new QAreaSeries(FBeyondTop, FBeyondBottom);
    FBeyond->setName(QStringLiteral("Por encima de Schroeder"));
    FBeyond->setBrush(QColor(128, 128, 128, 70));
    FBeyond->setPen(Qt::NoPen);
    FSchroeder = new QLineSeries;
    FSchroeder->setName(QStringLiteral("Frecuencia de Schroeder"));
    FSchroeder->setPen(QPen(QColor(120, 0, 120), 1.5, Qt::DashLine));
    FTicks = new QScatterSeries;
    FTicks->setName(QStringLiteral("Modos de las barras"));
    FTicks->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
    FTicks->setMarkerSize(6);
    FTicks->setColor(QColor(200, 80, 0));
    FTicks->setBorderColor(QColor(200, 80, 0));
    FCurve = new QLineSeries;
    FCurve->setName(QStringLiteral("Nivel"));
    FCurve->setPen(QPen(QColor(0, 70, 200), 2));
    for (QAbstractSeries* S : std::initializer_list<QAbstractSeries*>{FBeyond, FSchroeder, FTicks, FCurve}) {
        FChart->addSeries(S);
        S->attachAxis(FAxisF);
        S->attachAxis(FAxisDb);
    }
    ChartView = new QChartView(FChart, Page1);
    ChartView->setRenderHint(QPainter::Antialiasing);
    ChartView->setAccessibleName(QStringLiteral("Nivel en el oyente frente a la frecuencia"));
    ChartView->viewport()->setMouseTracking(true);
    ChartView->viewport()->installEventFilter(this);
    Column->addWidget(ChartView, 1);

    auto* Row = new QHBoxLayout;
    auto* T60Caption = new QLabel(QStringLiteral("T60"), Page1);
    edT60 = new QDoubleSpinBox(Page1);
    edT60->setRange(0.1, 10.0);
    edT60->setSingleStep(0.05);
    edT60->setDecimals(2);
    edT60->setSuffix(QStringLiteral(" s"));
    edT60->setValue(Room.GetReverbTime() > 0 ? Room.GetReverbTime() : 0.5);
    edT60->setAccessibleName(QStringLiteral("Tiempo de reverberación T60 (s)"));
    T60Caption->setBuddy(edT60);
    auto* SourceCaption = new QLabel(QStringLiteral("Fuente"), Page1);
    cbSource = new QComboBox(Page1);
    cbSource->addItems({QStringLiteral("Altavoz derecho"), QStringLiteral("Altavoz izquierdo"),
                        QStringLiteral("Ambos altavoces")});
    cbSource->setCurrentIndex(srBoth);
    cbSource->setAccessibleName(QStringLiteral("Fuente"));
    SourceCaption->setBuddy(cbSource);
    lbPointer = new QLabel(QStringLiteral("Nivel bajo el puntero: -"), Page1);
    lbPointer->setAccessibleName(QStringLiteral("Nivel bajo el puntero"));
    lbPointer->setTextInteractionFlags(Qt::TextSelectableByMouse);
    for (QWidget* W : std::initializer_list<QWidget*>{T60Caption, edT60, SourceCaption, cbSource})
        Row->addWidget(W);
    Row->addStretch(1);
    Row->addWidget(lbPointer);
    Column->addLayout(Row);
    Tabs->addTab(Page1, QStringLiteral("Respuesta"));

    // "Mejor punto"
    auto* Page2 = new QWidget(Tabs);
    auto* Side = new QHBoxLayout(Page2);
    Plan = new TFlatnessPlan(Page2);
    Side->addWidget(Plan, 1);
    auto* Right = new QVBoxLayout;
    lbBest = new QLabel(QStringLiteral("-"), Page2);
    lbBest->setAccessibleName(QStringLiteral("Mejor punto"));
    lbBest->setWordWrap(true);
    lbBest->setMinimumWidth(150);
    lbBest->setTextInteractionFlags(Qt::TextSelectableByMouse);
    btBring = new QPushButton(QStringLiteral("Llevar el oyente aquí"), Page2);
    btBring->setAccessibleName(QStringLiteral("Llevar el oyente aquí"));
    Right->addWidget(lbBest);
    Right->addWidget(btBring);
    Right->addStretch(1);
    Side->addLayout(Right);
    Tabs->addTab(Page2, QStringLiteral("Mejor punto"));

    connect(edT60, &QDoubleSpinBox::valueChanged, this, [this] { RunReported([this] { Refresh(); }); });
    connect(cbSource, &QComboBox::currentIndexChanged, this, [this] { RunReported([this] { Refresh(); }); });
    connect(btBring, &QPushButton::clicked, this, [this] { RunReported([this] { BringListener(); }); });
    // Closed with its owner.
    if (Parent != nullptr)
        Parent->installEventFilter(this);
}

TRoomBox TSeatResponseWindow::Box() const
{
    return TRoomBox{FRoom.GetWidth(), FRoom.GetDepth(), FRoom.GetHeight(), FRoom.GetSpeedOfSound()};
}

std::vector<TPoint3D> TSeatResponseWindow::Sources() const
{
    std::vector<TPoint3D> S;
    const int Choice = cbSource->currentIndex();
    if (Choice != srLeft)
        if (const TSpeaker* R = FRoom.Speakers().FindByChannel(1))
            S.push_back(R->GetPosition());
    if (Choice != srRight)
        if (const TSpeaker* L = FRoom.Speakers().FindByChannel(0))
            S.push_back(L->GetPosition());
    return S;
}

double TSeatResponseWindow::SchroederFrequency() const { return ::SchroederFrequency(Box(), edT60->value()); }

void TSeatResponseWindow::Refresh()
{
    if (!isVisible()) {
        FStale = true;
        return;
    }
    FStale = false;
    const TRoomBox B = Box();
    const std::vector<TPoint3D> S = Sources();
    const TPoint3D Seat = FRoom.Listener().GetPosition();
    FResponse.Compute(B, S, Seat, edT60->value());
    FMap = FlatnessMap(B, S, Seat.Z, edT60->value());
    UpdateChart();
    Plan->SetMap(&FMap, &FRoom);
    if (FMap.Columns == 0) {
        lbBest->setText(QStringLiteral("-"));
        btBring->setEnabled(false);
    } else if (FMap.Frequencies == 0) {
        lbBest->setText(QStringLiteral("Sin banda modal: la frecuencia de Schroeder (%1 Hz) queda por debajo de 20 Hz")
                            .arg(Short(FMap.TopFrequency)));
        btBring->setEnabled(false);
    } else {
        lbBest->setText(QStringLiteral("Mejor punto: izqda. %1 m, frontal %2 m\nDesviación: %3 dB (20 a %4 Hz)")
                            .arg(Short(FMap.Best.X), Short(FMap.Best.Y), Short(FMap.BestStdDb),
                                 Short(FMap.TopFrequency)));
        btBring->setEnabled(true);
    }
    Plan->setAccessibleDescription(lbBest->text());
}

void TSeatResponseWindow::UpdateChart()
{
    const TSeatCurve& C = FResponse.Curve();
    QList<QPointF> Points;
    Points.reserve(static_cast<qsizetype>(C.Levels.size()));
    double Lo = 0.0, Hi = 0.0;
    for (std::size_t K = 0; K < C.Levels.size(); ++K) {
        Points.append(QPointF(C.Frequencies[K], C.Levels[K]));
        Lo = std::min(Lo, C.Levels[K]);
        Hi = std::max(Hi, C.Levels[K]);
    }
    FCurve->replace(Points);
    // Whole 5 dB steps around the curve, never narrower than +-10 dB.
    Lo = std::min(std::floor(Lo / 5.0) * 5.0 - 5.0, -10.0);
    Hi = std::max(std::ceil(Hi / 5.0) * 5.0, 10.0);
    FAxisDb->setRange(Lo, Hi);

    const double Fs = SchroederFrequency();
    if (Fs < SeatHighFrequency) {
        const double From = std::max(Fs, SeatLowFrequency);
        FSchroeder->replace({QPointF(From, Lo), QPointF(From, Hi)});
        FBeyondTop->replace({QPointF(From, Hi), QPointF(SeatHighFrequency, Hi)});
        FBeyondBottom->replace({QPointF(From, Lo), QPointF(SeatHighFrequency, Lo)});
    } else {
        FSchroeder->clear();
        FBeyondTop->clear();
        FBeyondBottom->clear();
    }
    QList<QPointF> Ticks;
    const double TickY = Lo + (Hi - Lo) * 0.02;
    for (float F : FModeFrequencies)
        if (F >= SeatLowFrequency && F <= SeatHighFrequency)
            Ticks.append(QPointF(F, TickY));
    FTicks->replace(Ticks);
}

double TSeatResponseWindow::LevelAt(double F) const
{
    const TSeatCurve& C = FResponse.Curve();
    if (C.Levels.empty())
        return 0.0;
    if (F <= C.Frequencies.front())
        return C.Levels.front();
    if (F >= C.Frequencies.back())
        return C.Levels.back();
    const auto It = std::upper_bound(C.Frequencies.begin(), C.Frequencies.end(), F);
    const std::size_t K = static_cast<std::size_t>(It - C.Frequencies.begin());
    const double T = std::log(F / C.Frequencies[K - 1]) / std::log(C.Frequencies[K] / C.Frequencies[K - 1]);
    return C.Levels[K - 1] + (C.Levels[K] - C.Levels[K - 1]) * T;
}

void TSeatResponseWindow::ShowPointer(const QPoint& ViewPixel)
{
    const QPointF InChart = FChart->mapFromScene(ChartView->mapToScene(ViewPixel));
    const double F = FChart->mapToValue(InChart, FCurve).x();
    if (!FChart->plotArea().contains(InChart) || !(F >= SeatLowFrequency && F <= SeatHighFrequency)) {
        lbPointer->setText(QStringLiteral("Nivel bajo el puntero: -"));
        return;
    }
    lbPointer->setText(QStringLiteral("Nivel bajo el puntero: %1 Hz, %2 dB").arg(Short(F), Short(LevelAt(F))));
}

void TSeatResponseWindow::BringListener()
{
    if (FMap.Columns == 0 || FMap.Frequencies == 0)
        return;
    TListener& L = FRoom.Listener();
    const TPoint3D P = L.GetPosition();
    L.SetPosition(TPoint3D{FMap.Best.X, FMap.Best.Y, P.Z});
    FRoom.ItemMoved(L);
    FRoom.ClampElements();
    if (FOnRoomChanged)
        FOnRoomChanged();
    Refresh();
}

void TSeatResponseWindow::showEvent(QShowEvent* Event)
{
    QWidget::showEvent(Event);
    if (FStale)
        RunReported([this] { Refresh(); });
}

bool TSeatResponseWindow::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == ChartView->viewport() && Event->type() == QEvent::MouseMove)
        RunReported([&] { ShowPointer(static_cast<QMouseEvent*>(Event)->position().toPoint()); });
    else if (Watched == parent() && Event->type() == QEvent::Hide)
        hide();
    return QWidget::eventFilter(Watched, Event);
}
