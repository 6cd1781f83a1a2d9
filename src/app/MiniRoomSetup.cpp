#include "app/MiniRoomSetup.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>

#include <utility>

#include "app/Controls.h"
#include "model/Utilities.h"
#include "views/ErrorReport.h"

TfrmMiniRoomSetup* frmMiniRoomSetup = nullptr;

namespace {

using Controls::Make;
using Controls::MakeButton;
using Controls::MakeLabel;

QString Short(float V)
{
    return QString::fromStdString(FormatShort(V));
}

float Value(const QLineEdit* Box)
{
    return CleanStrToFloat(Box->text().toStdString());
}

// P with its height replaced.
TPoint3D WithZ(TPoint3D P, float Z)
{
    P.Z = Z;
    return P;
}

} // namespace

TfrmMiniRoomSetup::TfrmMiniRoomSetup(QWidget* Parent) : TfrmScalable(Parent)
{
    setObjectName(QStringLiteral("frmMiniRoomSetup"));
    setWindowTitle(QStringLiteral("Configuración de la sala"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(296, 220);

    GroupBox1 = Make<QGroupBox>(this, "GroupBox1", QRect(8, 4, 280, 110));
    GroupBox1->setTitle(QStringLiteral("Sala"));
    Label1 = MakeLabel(GroupBox1, "Label1", QRect(12, 20, 90, 16), QStringLiteral("Largo (m)"));
    Label2 = MakeLabel(GroupBox1, "Label2", QRect(112, 20, 80, 16), QStringLiteral("Ancho (m)"));
    Label3 = MakeLabel(GroupBox1, "Label3", QRect(200, 20, 68, 16), QStringLiteral("Alto (m)"));
    edDepth = Make<QLineEdit>(GroupBox1, "edDepth", QRect(12, 36, 68, 22));
    edWidth = Make<QLineEdit>(GroupBox1, "edWidth", QRect(112, 36, 68, 22));
    edHeight = Make<QLineEdit>(GroupBox1, "edHeight", QRect(200, 36, 68, 22));
    Label4 = MakeLabel(GroupBox1, "Label4", QRect(12, 62, 98, 16), QStringLiteral("Temperatura ºC"));
    Label5 = MakeLabel(GroupBox1, "Label5", QRect(112, 62, 100, 16), QStringLiteral("V. sonido (m/s)"));
    edTemperature = Make<QLineEdit>(GroupBox1, "edTemperature", QRect(12, 78, 68, 22));
    edSoundSpeed = Controls::MakeDisplayBox(GroupBox1, "edSoundSpeed", QRect(112, 78, 68, 22));
    // Reachable by the mouse (to copy the figure) but not by Tab.
    edSoundSpeed->setFocusPolicy(Qt::ClickFocus);

    GroupBox2 = Make<QGroupBox>(this, "GroupBox2", QRect(8, 118, 280, 66));
    GroupBox2->setTitle(QStringLiteral("Altura de Altavoces y Oyente"));
    Label6 = MakeLabel(GroupBox2, "Label6", QRect(12, 20, 90, 16), QStringLiteral("Woofer (m)"));
    Label7 = MakeLabel(GroupBox2, "Label7", QRect(200, 20, 68, 16), QStringLiteral("Oyente"));
    edSpeakerPosZ = Make<QLineEdit>(GroupBox2, "edSpeakerPosZ", QRect(12, 36, 68, 22));
    edListenerPosZ = Make<QLineEdit>(GroupBox2, "edListenerPosZ", QRect(200, 36, 68, 22));

    btnOk = MakeButton(this, "btnOk", QRect(128, 190, 75, 25), QStringLiteral("Ok"));
    btnCancel = MakeButton(this, "btnCancel", QRect(211, 190, 75, 25), QStringLiteral("Cancel"));
    // Neither is a default button: QDialog would otherwise make the first
    // one the default and press it on Enter in any edit box.
    for (QPushButton* B : {btnOk, btnCancel}) {
        B->setAutoDefault(false);
        B->setDefault(false);
    }

    // Each box is read out by the label above it, not by its group's title.
    const std::pair<QLabel*, QLineEdit*> Captions[] = {
        {Label1, edDepth},       {Label2, edWidth},       {Label3, edHeight},       {Label4, edTemperature},
        {Label5, edSoundSpeed}, {Label6, edSpeakerPosZ}, {Label7, edListenerPosZ}};
    for (const auto& [Caption, Box] : Captions) {
        Caption->setBuddy(Box);
        Box->setAccessibleName(Caption->text());
    }

    QWidget* const TabOrder[] = {edDepth, edWidth,        edHeight,      edTemperature,
                                 btnOk,   btnCancel,      edListenerPosZ, edSpeakerPosZ};
    for (std::size_t I = 1; I < std::size(TabOrder); ++I)
        setTabOrder(TabOrder[I - 1], TabOrder[I]);

    // A failure while writing the room is reported and keeps the dialog
    // open with what was typed.
    connect(edTemperature, &QLineEdit::textChanged, this, [this] { RunReported([this] { edTemperatureChange(); }); });
    connect(btnOk, &QPushButton::clicked, this, [this] {
        if (RunReported([this] { btnOkClick(); }))
            accept();
    });
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    // Centred on the screen rather than over the launcher.
    if (const QScreen* S = QGuiApplication::primaryScreen()) {
        move(S->availableGeometry().center() - rect().center());
    }

    FormCreate();
}

TfrmMiniRoomSetup::~TfrmMiniRoomSetup() = default;

void TfrmMiniRoomSetup::showEvent(QShowEvent* Event)
{
    TfrmScalable::showEvent(Event);
    // A window restored from the task bar is shown again spontaneously; only
    // the program's own show loads the room.
    if (!Event->spontaneous())
        FormShow();
}

void TfrmMiniRoomSetup::FormShow()
{
    if (FRoom != nullptr)
        LoadFromRoom(*FRoom);
    edDepth->setFocus(Qt::TabFocusReason);
}

void TfrmMiniRoomSetup::LoadFromRoom(const TRoom& Room)
{
    edWidth->setText(Short(Room.GetWidth()));
    edDepth->setText(Short(Room.GetDepth()));
    edHeight->setText(Short(Room.GetHeight()));
    edTemperature->setText(Short(Room.GetTemperature()));
    edSoundSpeed->setText(Short(Room.GetSpeedOfSound()));
    edListenerPosZ->setText(Short(Room.Listener().GetPosition().Z));
    if (const TSpeaker* Left = Room.Speakers().FindByChannel(0))
        edSpeakerPosZ->setText(Short(Left->GetPosition().Z));
}

void TfrmMiniRoomSetup::edTemperatureChange()
{
    // The room's own law, applied to whatever the box holds while typing.
    const long double T = Value(edTemperature);
    edSoundSpeed->setText(Short(static_cast<float>(T * 0.6L + 331.0L)));
}

void TfrmMiniRoomSetup::btnOkClick()
{
    if (FRoom == nullptr)
        return;
    FRoom->SetWidth(Value(edWidth));
    FRoom->SetDepth(Value(edDepth));
    FRoom->SetHeight(Value(edHeight));
    FRoom->SetTemperature(Value(edTemperature));
    const float SpeakerZ = Value(edSpeakerPosZ);
    if (TSpeaker* Right = FRoom->Speakers().FindByChannel(1))
        Right->SetPosition(WithZ(Right->GetPosition(), SpeakerZ));
    if (TSpeaker* Left = FRoom->Speakers().FindByChannel(0))
        Left->SetPosition(WithZ(Left->GetPosition(), SpeakerZ));
    FRoom->Listener().SetPosition(WithZ(FRoom->Listener().GetPosition(), Value(edListenerPosZ)));
}

void TfrmMiniRoomSetup::keyPressEvent(QKeyEvent* Event)
{
    switch (Event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (auto* Button = qobject_cast<QPushButton*>(focusWidget()))
            Button->click();
        Event->accept();
        return;
    case Qt::Key_Escape:
        Event->accept();
        return;
    default:
        TfrmScalable::keyPressEvent(Event);
    }
}
