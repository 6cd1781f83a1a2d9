#include <gtest/gtest.h>

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTest>

#include <utility>

#include "AppTestSupport.h"
#include "app/main.h"
#include "support/AccessibilityCheck.h"

namespace {

using Accessibility::NameOf;
using Accessibility::UnnamedControls;

void ExpectNames(std::initializer_list<std::pair<QWidget*, const char*>> Expected)
{
    for (const auto& [W, Name] : Expected)
        EXPECT_EQ(NameOf(W), QString::fromUtf8(Name)) << W->objectName().toStdString();
}

TEST(AccessibilityCheck, FindsUnnamedPicturesAndBoxesButNotFrames)
{
    QWidget Window;
    Window.setWindowTitle(QStringLiteral("Ventana"));
    auto* Picture = new QLabel(&Window);
    Picture->setObjectName(QStringLiteral("Picture"));
    QPixmap Dot(4, 4);
    Dot.fill(Qt::red);
    Picture->setPixmap(Dot);
    auto* Box = new QLineEdit(&Window);
    Box->setObjectName(QStringLiteral("Box"));
    new QFrame(&Window);
    auto* Hidden = new QLineEdit(&Window);
    Hidden->hide();
    Window.show();

    const QStringList Unnamed = UnnamedControls(&Window);
    ASSERT_EQ(Unnamed.size(), 2) << Unnamed.join(", ").toStdString();
    EXPECT_TRUE(Unnamed[0].startsWith(QStringLiteral("Picture")));
    EXPECT_TRUE(Unnamed[1].startsWith(QStringLiteral("Box")));
    Picture->setAccessibleName(QStringLiteral("Punto"));
    Box->setAccessibleName(QStringLiteral("Valor"));
    EXPECT_TRUE(UnnamedControls(&Window).isEmpty());
}

TEST(Accessibility, LauncherAndSetupDialogNameEveryControl)
{
    TfrmMain Main;
    Main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Main));
    EXPECT_EQ(UnnamedControls(&Main), QStringList());
    ExpectNames({{Main.edDepth, "Largo"},
                 {Main.edWidth, "Ancho"},
                 {Main.edHeight, "Alto"},
                 {Main.Image1, "Velmor acústica"},
                 {Main.Image2, "Quorvan"},
                 {Main.btnVelmor, "Iniciar"}});

    EXPECT_TRUE(WithSetupDialog(Main, [](TfrmMiniRoomSetup& D) {
        EXPECT_EQ(UnnamedControls(&D), QStringList());
        // By the label above each box, never by the group's title.
        ExpectNames({{D.edDepth, "Largo (m)"},
                     {D.edWidth, "Ancho (m)"},
                     {D.edHeight, "Alto (m)"},
                     {D.edTemperature, "Temperatura ºC"},
                     {D.edSoundSpeed, "V. sonido (m/s)"},
                     {D.edSpeakerPosZ, "Woofer (m)"},
                     {D.edListenerPosZ, "Oyente"},
                     {D.GroupBox1, "Sala"}});
        D.reject();
    }));
}

} // namespace
