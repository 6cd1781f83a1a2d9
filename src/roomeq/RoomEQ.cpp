#include "roomeq/RoomEQ.h"

#include <QAction>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScreen>
#include <QShowEvent>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QToolButton>

#include "model/Utilities.h"
#include "roomeq/SeatResponseWindow.h"
#include "views/ErrorReport.h"
#include "views/PressureMap.h"

TfrmRoomEq* frmRoomEq = nullptr;

namespace {

constexpr TColor Active = RGB(204, 0, 204);
constexpr TColor Inactive = RGB(0, 0, 0);

template <class T> T* Make(QWidget* Parent, const char* Name, const QRect& Bounds)
{
    auto* W = new T(Parent); // owned by Parent
    W->setObjectName(QString::fromLatin1(Name));
    W->setGeometry(Bounds);
    return W;
}

QColor ToQColor(TColor C) { return QColor(GetRValue(C), GetGValue(C), GetBValue(C)); }

// A panel filled with Back, its text in Fore; the colours reach its children.
QFrame* MakePanel(QWidget* Parent, const char* Name, const QRect& Bounds, TColor Back, TColor Fore)
{
    QFrame* Panel = Make<QFrame>(Parent, Name, Bounds);
    QPalette P = Panel->palette();
    P.setColor(QPalette::Window, ToQColor(Back));
    P.setColor(QPalette::WindowText, ToQColor(Fore));
    Panel->setPalette(P);
    Panel->setAutoFillBackground(true);
    return Panel;
}

// A label as wide as its text, with its left and top at the design place.
QLabel* MakeCaption(QWidget* Parent, const char* Name, int Left, int Top, const QString& Text)
{
    auto* L = new QLabel(Text, Parent);
    L->setObjectName(QString::fromLatin1(Name));
    L->setTextFormat(Qt::PlainText);
    L->adjustSize();
    L->move(Left, Top);
    return L;
}

// A read-only, sky-blue box named for screen readers by its caption, which
// points at it; reachable by the mouse (to copy the figure) but not by Tab.
QLineEdit* MakeReadout(QWidget* Parent, const char* Name, const QRect& Bounds, QLabel* Caption)
{
    QLineEdit* Box = Make<QLineEdit>(Parent, Name, Bounds);
    Box->setReadOnly(true);
    Box->setFocusPolicy(Qt::ClickFocus);
    QPalette P = Box->palette();
    P.setColor(QPalette::Base, QColor(166, 202, 240));
    Box->setPalette(P);
    Box->setAccessibleName(Caption->text());
    Caption->setBuddy(Box);
    return Box;
}

QToolButton* MakeArrow(QWidget* Parent, const char* Name, const QRect& Bounds, Qt::ArrowType Arrow,
                       const QString& Spoken)
{
    auto* B = Make<QToolButton>(Parent, Name, Bounds);
    B->setArrowType(Arrow);
    B->setAutoRaise(true);
    // Like a picture button it never takes the focus, so the arrow keys stay
    // with the window whatever was clicked last.
    B->setFocusPolicy(Qt::NoFocus);
    B->setAccessibleName(Spoken);
    return B;
}

void ConfigureView(TVisualRoom* View, TAxisProjection Axis, TColor Background, const QString& Spoken)
{
    View->SetAxis(Axis);
    View->SetRim(10);
    View->SetWallSize(3);
    View->SetWallColor(RGB(255, 255, 255));
    View->SetBackgroundColor(Background);
    View->SetShowAcotation(false);
    View->SetMoveItems(true);
    View->setAccessibleName(Spoken);
}

QString Short(float V) { return QString::fromStdString(FormatShort(V)); }

bool IsArrowKey(int Key)
{
    return Key == Qt::Key_Left || Key == Qt::Key_Right || Key == Qt::Key_Up || Key == Qt::Key_Down;
}

} // namespace

TLevelBar::TLevelBar(QWidget* Parent, QLabel* Caption) : QSlider(Qt::Vertical, Parent), FCaption(Caption)
{
    // A gauge, not a control: Min at the top, never focused or changed by
    // the user.
    setInvertedAppearance(true);
    setEnabled(false);
    setFocusPolicy(Qt::NoFocus);
    setTickPosition(QSlider::NoTicks);
}

QRect TLevelBar::ThumbRect() const
{
    QStyleOptionSlider Option;
    initStyleOption(&Option);
    return style()->subControlRect(QStyle::CC_Slider, &Option, QStyle::SC_SliderHandle, this);
}

TfrmRoomEq::TfrmRoomEq(QWidget* Parent) : TfrmScalable(Parent)
{
    setObjectName(QStringLiteral("frmRoomEq"));
    setWindowTitle(QStringLiteral("Quorvan"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(693, 351);
    QFont Font(QStringLiteral("MS Sans Serif"));
    Font.setPixelSize(11);
    setFont(Font);

    pnRoom = MakePanel(this, "pnRoom", QRect(3, 2, 254, 344), RGB(0, 0, 0), RGB(255, 255, 255));
    vrTop = Make<TVisualRoom>(pnRoom, "vrTop", QRect(8, 8, 241, 329));
    ConfigureView(vrTop, apXY, Active, QStringLiteral("Planta"));
    Panel1 = MakePanel(this, "Panel1", QRect(264, 3, 425, 149), RGB(0, 0, 0), RGB(255, 255, 255));
    vrHeight = Make<TVisualRoom>(Panel1, "vrHeight", QRect(8, 8, 409, 129));
    ConfigureView(vrHeight, apYZ, Inactive, QStringLiteral("Alzado"));

    GroupBox1 = Make<QGroupBox>(this, "GroupBox1", QRect(264, 156, 80, 62));
    sbUp = MakeArrow(GroupBox1, "sbUp", QRect(29, 10, 23, 23), Qt::UpArrow, QStringLiteral("Arriba"));
    sbLeft = MakeArrow(GroupBox1, "sbLeft", QRect(6, 22, 23, 23), Qt::LeftArrow, QStringLiteral("Izquierda"));
    sbRight = MakeArrow(GroupBox1, "sbRight", QRect(52, 22, 23, 23), Qt::RightArrow, QStringLiteral("Derecha"));
    sbDown = MakeArrow(GroupBox1, "sbDown", QRect(29, 35, 23, 23), Qt::DownArrow, QStringLiteral("Abajo"));

    GroupBox2 = Make<QGroupBox>(this, "GroupBox2", QRect(349, 156, 341, 62));
    GroupBox2->setTitle(QStringLiteral("Elemento seleccionado"));
    Label1 = MakeCaption(GroupBox2, "Label1", 12, 20, QStringLiteral("Nombre"));
    edName = MakeReadout(GroupBox2, "edName", QRect(11, 34, 102, 21), Label1);
    Label2 = MakeCaption(GroupBox2, "Label2", 119, 20, QStringLiteral("Frontal"));
    edPosY = MakeReadout(GroupBox2, "edPosY", QRect(118, 34, 46, 21), Label2);
    Label3 = MakeCaption(GroupBox2, "Label3", 170, 20, QStringLiteral("Izqda."));
    edPosX = MakeReadout(GroupBox2, "edPosX", QRect(169, 34, 46, 21), Label3);
    Label4 = MakeCaption(GroupBox2, "Label4", 220, 20, QStringLiteral("Suelo"));
    edPosZ = MakeReadout(GroupBox2, "edPosZ", QRect(220, 34, 46, 21), Label4);
    Label5 = MakeCaption(GroupBox2, "Label5", 270, 20, QStringLiteral("Presión (0-1)"));
    edSPL = MakeReadout(GroupBox2, "edSPL", QRect(270, 34, 60, 21), Label5);
    for (QLineEdit* Box : {edName, edPosY, edPosX, edPosZ, edSPL})
        Box->installEventFilter(this);

    Panel2 = Make<QFrame>(this, "Panel2", QRect(262, 222, 427, 123));
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel2->setLineWidth(1);
    pnRightEq = MakePanel(Panel2, "pnRightEq", QRect(1, 1, 425, 121), RGB(192, 192, 192), RGB(0, 0, 0));
    QFont Small(QStringLiteral("Small Fonts"));
    Small.setPixelSize(8);
    pnRightEq->setFont(Small);
    Label6 = MakeCaption(pnRightEq, "Label6", 397, 13, QStringLiteral("+18 db"));
    Label7 = MakeCaption(pnRightEq, "Label7", 404, 90, QStringLiteral("0 db"));
    Label8 = MakeCaption(pnRightEq, "Label8", 404, 109, QStringLiteral("Hz"));
    for (QLabel* L : {Label6, Label7, Label8})
        L->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* SeatAction = new QAction(QStringLiteral("Respuesta en el punto de escucha"), this);
    SeatAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    addAction(SeatAction);
    pnRightEq->addAction(SeatAction);
    pnRightEq->setContextMenuPolicy(Qt::ActionsContextMenu);
    pnRightEq->setToolTip(QStringLiteral("Clic derecho o Ctrl+R: respuesta en el punto de escucha"));
    connect(SeatAction, &QAction::triggered, this, [this] { RunReported([this] { OpenSeatResponse(); }); });

    vrTop->OnMouseDown = [this](TVisualRoom& Sender, Qt::MouseButton, TShiftState, int X, int Y) {
        RunReported([&] { vrTopMouseDown(Sender, X, Y); });
    };
    vrHeight->OnMouseDown = vrTop->OnMouseDown;
    vrTop->OnMouseMove = [this](TVisualRoom& Sender, TShiftState Shift, int, int) {
        RunReported([&] { vrTopMouseMove(Sender, Shift); });
    };
    vrHeight->OnMouseMove = vrTop->OnMouseMove;
    for (QToolButton* B : {sbUp, sbLeft, sbRight, sbDown})
        connect(B, &QToolButton::clicked, this, [this, B] { RunReported([&] { sbArrowClick(B); }); });

    if (const QScreen* S = QGuiApplication::primaryScreen())
        move(S->availableGeometry().center() - rect().center());

    FormCreate();
    FActiveView = vrTop;
}

TfrmRoomEq::~TfrmRoomEq()
{
    // The views must not outlive their binding to a room they do not own.
    vrTop->SetRoom(nullptr);
    vrHeight->SetRoom(nullptr);
}

void TfrmRoomEq::SetRoom(TRoom& Room)
{
    FRoom = &Room;
    BuildModeList(FModes, Room);
    FWeighted = WeightedModes(FModes);
    CreateBars();
    for (TVisualRoom* View : {vrTop, vrHeight}) {
        View->SetRoom(&Room);
        View->FitToParent();
    }
    FActiveView = vrTop;
    FSelected = &Room.Listener();
    UpdateReadouts();
}

void TfrmRoomEq::DestroyBars()
{
    for (TLevelBar* Bar : FBars) {
        delete Bar->Caption();
        delete Bar;
    }
    FBars.clear();
}

void TfrmRoomEq::CreateBars()
{
    DestroyBars();
    FBars.reserve(static_cast<std::size_t>(FModes.Count()));
    for (int I = 0; I < FModes.Count(); ++I) {
        const TMode& Mode = *FModes.GetMode(I);
        auto* Caption = new QLabel(QString::fromStdString(BarCaption(Mode.GetFrequency())), pnRightEq);
        Caption->setTextFormat(Qt::PlainText);
        Caption->adjustSize();
        auto* Bar = new TLevelBar(pnRightEq, Caption); // owned by the panel
        Bar->setRange(BarMin(Mode.GetKind()), BarMax);
        Bar->setValue(0);
        const QString Hint = QString::fromStdString(BarHint(Mode));
        Bar->setToolTip(Hint);
        Bar->setAccessibleName(Hint);
        Bar->setAccessibleDescription(Hint);
        Caption->move(Bar->width() / 3 + Bar->x() - Caption->width() / 2, CaptionTop(pnRightEq->height()));
        Bar->show();
        Caption->show();
        FBars.push_back(Bar);
    }
}

void TfrmRoomEq::ArrangeBars()
{
    const int N = static_cast<int>(FBars.size());
    // An empty list shows an empty display: there is nothing to divide.
    if (N == 0)
        return;
    const int W = pnRightEq->width();
    const int H = pnRightEq->height();
    for (int I = 0; I < N; ++I) {
        const TBarPlace P = PlaceBar(I, N, W, H);
        TLevelBar* Bar = FBars[static_cast<std::size_t>(I)];
        Bar->setGeometry(P.Left, P.Top, P.Width, P.Height);
        Bar->Caption()->move(CaptionLeft(P, Bar->Caption()->width()), CaptionTop(H));
    }
}

void TfrmRoomEq::UpdateBars()
{
    if (FRoom == nullptr)
        return;
    const TSpeaker* Right = FRoom->Speakers().FindByChannel(1);
    if (Right == nullptr)
        return;
    const TPoint3D S = Right->GetPosition();
    const TPoint3D L = FRoom->Listener().GetPosition();
    for (std::size_t I = 0; I < FBars.size(); ++I) {
        const TMode& Mode = *FModes.GetMode(static_cast<int>(I));
        const float Ps = FRoom->GetModePressure(S, Mode.NX(), Mode.NY(), Mode.NZ());
        const float Pl = FRoom->GetModePressure(L, Mode.NX(), Mode.NY(), Mode.NZ());
        TLevelBar* Bar = FBars[I];
        Bar->setValue(BarPosition(BarLevel(Ps, Pl), Bar->minimum()));
    }
}

void TfrmRoomEq::UpdateReadouts()
{
    UpdateBars();
    if (FSeat != nullptr)
        FSeat->Refresh();
    if (FSelected == nullptr) {
        for (QLineEdit* Box : {edName, edPosX, edPosY, edPosZ, edSPL})
            Box->setText(QStringLiteral("-"));
        return;
    }
    const TPoint3D P = FSelected->GetPosition();
    edName->setText(QString::fromStdString(FSelected->Name()));
    edPosX->setText(Short(P.X));
    edPosY->setText(Short(P.Y));
    edPosZ->setText(Short(P.Z));
    edSPL->setText(Short(MeanPressureAt(P)));
}

float TfrmRoomEq::MeanPressureAt(const TPoint3D& P) const
{
    return FRoom == nullptr ? 0.0f : MeanModePressure(*FRoom, FWeighted, P);
}

void TfrmRoomEq::PaintPressureMap(TVisualRoom& View)
{
    if (FRoom == nullptr)
        return;
    ::PaintPressureMap(View, FWeighted);
}

void TfrmRoomEq::RepaintViews()
{
    vrTop->Repaint();
    vrHeight->Repaint();
}

void TfrmRoomEq::vrTopMouseDown(TVisualRoom& Sender, int X, int Y)
{
    FActiveView = &Sender;
    vrTop->SetBackgroundColor(&Sender == vrTop ? Active : Inactive);
    vrHeight->SetBackgroundColor(&Sender == vrHeight ? Active : Inactive);
    TItem* Element = Sender.ItemAt(X, Y);
    if (Element != FSelected) {
        FSelected = Element;
        UpdateReadouts();
    }
}

void TfrmRoomEq::vrTopMouseMove(TVisualRoom&, TShiftState Shift)
{
    if (!Shift.LeftHeld() || FSelected == nullptr)
        return;
    RepaintViews();
    UpdateReadouts();
}

void TfrmRoomEq::sbArrowClick(QToolButton* Sender)
{
    if (FSelected == nullptr || FRoom == nullptr || FActiveView == nullptr)
        return;
    TArrow Arrow;
    if (Sender == sbLeft)
        Arrow = arLeft;
    else if (Sender == sbRight)
        Arrow = arRight;
    else if (Sender == sbUp)
        Arrow = arUp;
    else if (Sender == sbDown)
        Arrow = arDown;
    else
        return;
    FSelected->MoveBy(ArrowStep(FActiveView->Axis(), Arrow));
    FRoom->ItemMoved(*FSelected);
    FRoom->ClampElements();
    RepaintViews();
    UpdateReadouts();
}

void TfrmRoomEq::OpenSeatResponse()
{
    if (FRoom == nullptr)
        return;
    if (FSeat == nullptr) {
        std::vector<float> Ticks;
        for (int I = 0; I < FModes.Count(); ++I)
            Ticks.push_back(FModes.GetMode(I)->GetFrequency());
        FSeat = new TSeatResponseWindow(*FRoom, std::move(Ticks), [this] {
            RepaintViews();
            UpdateReadouts();
        }, this); // owned by this window
    }
    FSeat->show();
    FSeat->raise();
    FSeat->activateWindow();
}

void TfrmRoomEq::FormKeyDown(int Key)
{
    switch (Key) {
    case Qt::Key_Left: sbArrowClick(sbLeft); break;
    case Qt::Key_Up: sbArrowClick(sbUp); break;
    case Qt::Key_Right: sbArrowClick(sbRight); break;
    case Qt::Key_Down: sbArrowClick(sbDown); break;
    default: break;
    }
}

void TfrmRoomEq::FormResize()
{
    TfrmScalable::FormResize();
    RunReported([this] {
        ArrangeBars();
        vrTop->FitToParent();
        vrHeight->FitToParent();
        PaintPressureMap(*vrTop);
        vrTop->Repaint();
        PaintPressureMap(*vrHeight);
        vrHeight->Repaint();
    });
}

void TfrmRoomEq::FormShow()
{
    PaintPressureMap(*vrTop);
    PaintPressureMap(*vrHeight);
}

void TfrmRoomEq::showEvent(QShowEvent* Event)
{
    TfrmScalable::showEvent(Event);
    // A window restored from the task bar is shown again spontaneously; only
    // the program's own show renders the maps.
    if (!Event->spontaneous())
        RunReported([this] { FormShow(); });
}

void TfrmRoomEq::keyPressEvent(QKeyEvent* Event)
{
    if (IsArrowKey(Event->key()))
        RunReported([&] { FormKeyDown(Event->key()); });
    TfrmScalable::keyPressEvent(Event);
}

bool TfrmRoomEq::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Event->type() == QEvent::KeyPress) {
        auto* Key = static_cast<QKeyEvent*>(Event);
        if (IsArrowKey(Key->key())) {
            RunReported([&] { FormKeyDown(Key->key()); });
            // The box still gets the key, but it must not travel on to the
            // window (a box ignores Up and Down), or the step would be taken
            // twice.
            Watched->event(Event);
            Event->accept();
            return true;
        }
    }
    return TfrmScalable::eventFilter(Watched, Event);
}

void OpenRoomEq(TRoom& Room)
{
    TfrmRoomEq Form;
    struct TShown {
        explicit TShown(TfrmRoomEq* F) { frmRoomEq = F; }
        ~TShown() { frmRoomEq = nullptr; }
    } Shown(&Form);
    Form.SetRoom(Room);
    Form.exec();
}
