#include "app/main.h"

#include <QFrame>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>

#include <cmath>

#include "app/Controls.h"
#include "app/JpegPicture.h"
#include "app/MiniRoomSetup.h"
#include "app/Pictures.h"
#include "model/Utilities.h"
#include "views/ErrorReport.h"

namespace {

using Controls::Make;
using Controls::MakeButton;
using Controls::MakeLabel;

// A section title: bold, Growth points larger than the window's type.
QLabel* MakeTitle(QWidget* Parent, const char* Name, const QRect& Bounds, const QString& Text, qreal Growth)
{
    QLabel* L = MakeLabel(Parent, Name, Bounds, Text);
    QFont F = L->font();
    F.setBold(true);
    if (Growth > 0 && F.pointSizeF() > 0)
        F.setPointSizeF(F.pointSizeF() + Growth);
    L->setFont(F);
    return L;
}

QLabel* MakeDescription(QWidget* Parent, const char* Name, const QRect& Bounds, const QString& Text)
{
    QLabel* L = MakeLabel(Parent, Name, Bounds, Text);
    L->setWordWrap(true);
    L->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return L;
}

QFrame* MakeFrame(QWidget* Parent, const char* Name, const QRect& Bounds, int Style)
{
    auto* F = Make<QFrame>(Parent, Name, Bounds);
    F->setFrameStyle(Style);
    return F;
}

// Shows the decoded picture; a picture that does not decode leaves the place empty.
void ShowPicture(QLabel* Place, std::span<const unsigned char> Jpeg)
{
    const QImage Picture = DecodeJpeg(Jpeg);
    if (!Picture.isNull())
        Place->setPixmap(QPixmap::fromImage(Picture));
}

// An element's position with X and Y replaced and its height kept.
TPoint3D WithXY(const TItem& Item, float X, float Y)
{
    TPoint3D P = Item.GetPosition();
    P.X = X;
    P.Y = Y;
    return P;
}

} // namespace

TPictureBox::TPictureBox(QWidget* Parent) : QLabel(Parent)
{
    setCursor(Qt::PointingHandCursor);
}

void TPictureBox::mouseReleaseEvent(QMouseEvent* Event)
{
    QLabel::mouseReleaseEvent(Event);
    if (Event->button() == Qt::LeftButton && rect().contains(Event->position().toPoint()) && OnClick)
        OnClick();
}

TfrmMain::TPictures TfrmMain::EmbeddedPictures()
{
    return {Pictures::Footprint(), Pictures::RoomEq()};
}

TfrmMain::TfrmMain(const TPictures& Pictures, QWidget* Parent) : QWidget(Parent)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Velmor acústica / Quorvan V 1.0"));
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(540, 365);

    Bevel1 = MakeFrame(this, "Bevel1", QRect(8, 8, 524, 349), QFrame::Box | QFrame::Sunken);

    // The footprint module.
    Image1 = Make<TPictureBox>(this, "Image1", QRect(18, 20, 161, 114));
    Label5 = MakeTitle(this, "Label5", QRect(192, 14, 330, 24), QStringLiteral("Velmor acústica"), 3);
    Label1 = MakeDescription(this, "Label1", QRect(192, 38, 330, 74),
                             QStringLiteral("En este apartado podrás visualizar la distribución de la energía "
                                            "correspondiente a los modos Axiales, Tangenciales y oblicuos. Podrás  "
                                            "generar un CD con la velmor acústica de tu sala para experimentar el "
                                            "efecto de las ondas estacionarias en ella."));
    btnVelmor = MakeButton(this, "btnVelmor", QRect(442, 112, 80, 26), QStringLiteral("Iniciar"));
    Bevel2 = MakeFrame(this, "Bevel2", QRect(16, 146, 508, 2), QFrame::HLine | QFrame::Sunken);

    // The room-as-equaliser module.
    Image2 = Make<TPictureBox>(this, "Image2", QRect(18, 158, 161, 87));
    Label9 = MakeTitle(this, "Label9", QRect(192, 154, 330, 24), QStringLiteral("Quorvan"), 3);
    Label2 = MakeDescription(this, "Label2", QRect(192, 180, 330, 56),
                             QStringLiteral("En este apartado podrás simular la búsqueda de los lugares más "
                                            "apropiados para tus pantallas y punto de escucha para después "
                                            "verificar su idoneidad ayudados del CD de la \"Velmor acústica."));
    btnEQ = MakeButton(this, "btnEQ", QRect(442, 224, 80, 26), QStringLiteral("Iniciar"));
    Bevel3 = MakeFrame(this, "Bevel3", QRect(16, 262, 508, 2), QFrame::HLine | QFrame::Sunken);

    // The room's dimensions.
    Label6 = MakeTitle(this, "Label6", QRect(24, 278, 250, 20), QStringLiteral("Largo x Ancho x Alto (m)"), 0);
    edDepth = Controls::MakeDisplayBox(this, "edDepth", QRect(24, 302, 60, 24));
    edWidth = Controls::MakeDisplayBox(this, "edWidth", QRect(92, 302, 60, 24));
    edHeight = Controls::MakeDisplayBox(this, "edHeight", QRect(160, 302, 60, 24));
    Button1 = MakeButton(this, "Button1", QRect(236, 300, 96, 28), QStringLiteral("Configurar"));

    ShowPicture(Image1, Pictures.Footprint);
    ShowPicture(Image2, Pictures.RoomEq);

    // What a screen reader says: the pictures by their modules, the two
    // "Iniciar" buttons told apart, each box by its dimension (the one
    // title above them names all three).
    Image1->setAccessibleName(Label5->text());
    Image2->setAccessibleName(Label9->text());
    btnVelmor->setAccessibleDescription(Label5->text());
    btnEQ->setAccessibleDescription(Label9->text());
    edDepth->setAccessibleName(QStringLiteral("Largo"));
    edWidth->setAccessibleName(QStringLiteral("Ancho"));
    edHeight->setAccessibleName(QStringLiteral("Alto"));

    // A module that fails to open reports why; the launcher stays usable.
    connect(btnVelmor, &QPushButton::clicked, this, [this] { RunReported([this] { btnVelmorClick(); }); });
    connect(btnEQ, &QPushButton::clicked, this, [this] { RunReported([this] { btnEQClick(); }); });
    connect(Button1, &QPushButton::clicked, this, [this] { RunReported([this] { Button1Click(); }); });
    Image1->OnClick = [this] { RunReported([this] { btnVelmorClick(); }); };
    Image2->OnClick = [this] { RunReported([this] { btnEQClick(); }); };

    FormCreate();
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::FormCreate()
{
    FRoom = std::make_unique<TRoom>();
    PlaceDefaultLayout();
    ShowDimensions();
}

void TfrmMain::PlaceDefaultLayout()
{
    TSpeaker* Left = FRoom->Speakers().FindByChannel(0);
    TSpeaker* Right = FRoom->Speakers().FindByChannel(1);
    if (Left == nullptr || Right == nullptr)
        return;
    // Each step is computed wide and rounded to float where it is held, so
    // the positions come out the same to the last digit on every machine.
    const long double W = FRoom->GetWidth();
    const long double D = FRoom->GetDepth();
    const float Front = static_cast<float>(D * 0.384L);

    Left->SetPosition(WithXY(*Left, static_cast<float>(W * 0.276L), Front));
    TPoint3D R = Right->GetPosition();
    R.X = static_cast<float>(W - Left->GetPosition().X);
    R.Y = Front;
    R.Z = Left->GetPosition().Z;
    Right->SetPosition(R);

    const float Dist = static_cast<float>(static_cast<long double>(Right->GetPosition().X) - Left->GetPosition().X);
    const float Half = static_cast<float>(Dist / 2.0L);
    const float Square = static_cast<float>(static_cast<long double>(Dist) * Dist);
    const float HalfSquare = static_cast<float>(static_cast<long double>(Half) * Half);
    const float Difference = static_cast<float>(static_cast<long double>(Square) - HalfSquare);
    const float Apex = static_cast<float>(std::sqrt(static_cast<long double>(Difference)));
    TListener& Listener = FRoom->Listener();
    Listener.SetPosition(WithXY(Listener, static_cast<float>(W / 2.0L),
                                static_cast<float>(static_cast<long double>(Front) + Apex)));
}

void TfrmMain::ShowDimensions()
{
    edWidth->setText(QString::fromStdString(FormatShort(FRoom->GetWidth())));
    edDepth->setText(QString::fromStdString(FormatShort(FRoom->GetDepth())));
    edHeight->setText(QString::fromStdString(FormatShort(FRoom->GetHeight())));
}

void TfrmMain::btnVelmorClick()
{
    if (OnOpenFootprint)
        OnOpenFootprint(*FRoom);
}

void TfrmMain::btnEQClick()
{
    if (OnOpenRoomEq)
        OnOpenRoomEq(*FRoom);
}

void TfrmMain::Button1Click()
{
    {
        auto Dialog = std::make_unique<TfrmMiniRoomSetup>(this);
        // The unit-level reference is cleared however the dialog ends.
        struct TOpen {
            explicit TOpen(TfrmMiniRoomSetup* D) { frmMiniRoomSetup = D; }
            ~TOpen() { frmMiniRoomSetup = nullptr; }
        } Open(Dialog.get());
        Dialog->SetRoom(*FRoom);
        if (Dialog->exec() == QDialog::Accepted)
            FRoom->ClampElements();
    }
    PlaceDefaultLayout();
    ShowDimensions();
}
