#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <memory>

#include "views/Items.h"
#include "views/Scalable.h"

namespace {

// A window laid out at 400 x 300 with the kinds of controls the real windows
// use: labels, a single-line edit box, a panel with a nested button and a
// grid whose internal scroll bars and headers are not controls of the form.
class TTestForm : public TfrmScalable {
public:
    explicit TTestForm(int DesignWidth = 400, int DesignHeight = 300)
    {
        resize(DesignWidth, DesignHeight);
        Label1 = Make<QLabel>(this, "Label1", QRect(292, 40, 97, 17));
        Label2 = Make<QLabel>(this, "Label2", QRect(291, 61, 97, 15));
        edValue = Make<QLineEdit>(this, "edValue", QRect(10, 60, 120, 21));
        Panel1 = Make<QFrame>(this, "Panel1", QRect(10, 100, 200, 80));
        Button1 = Make<QPushButton>(Panel1, "Button1", QRect(8, 8, 75, 25));
        Grid1 = Make<QTableWidget>(this, "Grid1", QRect(220, 100, 170, 150));
        Grid1->setRowCount(20);
        Grid1->setColumnCount(3);
        FormCreate();
    }

    template <class T> static T* Make(QWidget* Parent, const char* Name, const QRect& R)
    {
        auto* W = new T(Parent); // owned by Parent
        W->setObjectName(QString::fromLatin1(Name));
        W->setGeometry(R);
        return W;
    }

    void Recreate() { FormCreate(); }

    QLabel* Label1;
    QLabel* Label2;
    QLineEdit* edValue;
    QFrame* Panel1;
    QPushButton* Button1;
    QTableWidget* Grid1;
};

// Resizes a shown window and lets the platform deliver the resize.
void ResizeTo(QWidget& W, int Width, int Height)
{
    W.resize(Width, Height);
    QTRY_COMPARE_WITH_TIMEOUT(W.size(), QSize(Width, Height), 2000);
    QCoreApplication::processEvents();
}

class ScalableWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = std::make_unique<TTestForm>();
        Form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
        ASSERT_EQ(Form->size(), QSize(400, 300));
    }
    std::unique_ptr<TTestForm> Form;
};

TEST(ItemManager, FindByNameIsExactAndTheLastRecordWins)
{
    Items::TItemManager List;
    List.Add(std::make_unique<Items::TItem>("edWidth", 1, 2, 3, 4));
    List.Add(std::make_unique<Items::TItem>("btnOk", 5, 6, 7, 8));
    List.Add(std::make_unique<Items::TItem>("edWidth", 9, 10, 11, 12));
    List.Add(nullptr);
    ASSERT_EQ(List.Count(), 3);

    const Items::TItem* Found = List.FindByName("edWidth");
    ASSERT_NE(Found, nullptr);
    EXPECT_EQ(Found->FWidth, 9);
    EXPECT_EQ(Found->FLeft, 12);
    EXPECT_EQ(List.FindByName("EDWIDTH"), nullptr);
    EXPECT_EQ(List.FindByName("edWidt"), nullptr);
    EXPECT_EQ(List.FindByName(""), nullptr);

    List.Clear();
    EXPECT_EQ(List.Count(), 0);
    EXPECT_EQ(List.FindByName("btnOk"), nullptr);
}

TEST(ScalableRecording, RecordsNamedControlsDepthFirstAndNoInternals)
{
    TTestForm Form;
    EXPECT_EQ(Form.DesignWidth(), 400);
    EXPECT_EQ(Form.DesignHeight(), 300);
    const Items::TItemManager* Layout = Form.Layout();
    ASSERT_NE(Layout, nullptr);
    // Label1, Label2, edValue, Panel1, Button1, Grid1: the grid's viewport,
    // scroll bars and headers are Qt's own parts and stay unrecorded.
    EXPECT_EQ(Layout->Count(), 6);
    const Items::TItem* Nested = Layout->FindByName("Button1");
    ASSERT_NE(Nested, nullptr);
    EXPECT_EQ(Nested->FLeft, 8); // relative to its panel
    EXPECT_EQ(Nested->FTop, 8);
    EXPECT_EQ(Nested->FWidth, 75);
    EXPECT_EQ(Nested->FHeight, 25);
    EXPECT_FLOAT_EQ(Form.GetScaleX(), 1.0f);
    EXPECT_FLOAT_EQ(Form.GetScaleY(), 1.0f);
}

TEST_F(ScalableWindow, DoubleWidthScalesAcrossOnly)
{
    ResizeTo(*Form, 800, 300);
    EXPECT_EQ(Form->GetScaleX(), 2.0f);
    EXPECT_EQ(Form->GetScaleY(), 1.0f);
    EXPECT_EQ(Form->Label1->geometry(), QRect(584, 40, 194, 17));
    EXPECT_EQ(Form->Panel1->geometry(), QRect(20, 100, 400, 80));
    EXPECT_EQ(Form->Button1->geometry(), QRect(16, 8, 150, 25));

    ResizeTo(*Form, 800, 600);
    EXPECT_EQ(Form->Label1->geometry(), QRect(584, 80, 194, 34));
    EXPECT_EQ(Form->Button1->geometry(), QRect(16, 16, 150, 50));
}

TEST_F(ScalableWindow, HalvesRoundToEven)
{
    ResizeTo(*Form, 600, 450);
    EXPECT_EQ(Form->GetScaleX(), 1.5f);
    // 97 * 1.5 = 145.5 -> 146 and 291 * 1.5 = 436.5 -> 436.
    EXPECT_EQ(Form->Label2->width(), 146);
    EXPECT_EQ(Form->Label2->x(), 436);
    // 61 * 1.5 = 91.5 -> 92 and 15 * 1.5 = 22.5 -> 22.
    EXPECT_EQ(Form->Label2->y(), 92);
    EXPECT_EQ(Form->Label2->height(), 22);
}

TEST_F(ScalableWindow, SingleLineEditKeepsItsHeight)
{
    const int Height = Form->edValue->height();
    ASSERT_EQ(Height, 21);
    for (const QSize S : {QSize(800, 600), QSize(200, 150), QSize(523, 377)}) {
        ResizeTo(*Form, S.width(), S.height());
        const float Fx = Form->GetScaleX();
        const float Fy = Form->GetScaleY();
        EXPECT_EQ(Form->edValue->height(), Height) << S.width() << 'x' << S.height();
        EXPECT_EQ(Form->edValue->width(), static_cast<int>(std::nearbyint(Fx * 120.0L)));
        EXPECT_EQ(Form->edValue->x(), static_cast<int>(std::nearbyint(Fx * 10.0L)));
        EXPECT_EQ(Form->edValue->y(), static_cast<int>(std::nearbyint(Fy * 60.0L)));
    }
}

TEST_F(ScalableWindow, ReturningToDesignSizeRestoresEveryControl)
{
    const QList<QWidget*> All = Form->findChildren<QWidget*>();
    QList<QRect> Design;
    for (QWidget* W : All)
        Design.append(W->geometry());

    // Many odd sizes in a row: rounding must not accumulate.
    for (const QSize S : {QSize(200, 300), QSize(333, 211), QSize(401, 299), QSize(777, 555)})
        ResizeTo(*Form, S.width(), S.height());
    ResizeTo(*Form, 400, 300);
    EXPECT_EQ(Form->GetScaleX(), 1.0f);
    for (int I = 0; I < All.size(); ++I) {
        if (!All[I]->objectName().startsWith(QLatin1String("qt_")) && !All[I]->objectName().isEmpty()) {
            EXPECT_EQ(All[I]->geometry(), Design[I]) << All[I]->objectName().toStdString();
        }
    }
}

TEST_F(ScalableWindow, ProgramMovedControlIsPutBackAndUnrecordedOnesAreLeftAlone)
{
    Form->Label1->setGeometry(1, 2, 3, 4);
    auto* Later = TTestForm::Make<QLabel>(Form.get(), "LevelBar1", QRect(5, 6, 7, 8));
    Later->show();
    auto* Renamed = TTestForm::Make<QLabel>(Form.get(), "label1", QRect(9, 9, 9, 9));
    Renamed->show();

    ResizeTo(*Form, 800, 600);
    EXPECT_EQ(Form->Label1->geometry(), QRect(584, 80, 194, 34));
    EXPECT_EQ(Later->geometry(), QRect(5, 6, 7, 8));
    EXPECT_EQ(Renamed->geometry(), QRect(9, 9, 9, 9));
}

TEST(ScalableRecording, ChildWindowsAreNotPartOfTheLayout)
{
    // A dialog the form owns (a save dialog, say) keeps its own layout.
    TTestForm Form;
    auto* Owned = new QDialog(&Form); // owned by the form
    auto* Inside = TTestForm::Make<QLineEdit>(Owned, "fileNameEdit", QRect(10, 10, 100, 20));
    Form.Recreate();
    EXPECT_EQ(Form.Layout()->Count(), 6);
    EXPECT_EQ(Form.Layout()->FindByName("fileNameEdit"), nullptr);

    Form.resize(800, 600);
    Form.FormResize();
    EXPECT_EQ(Inside->geometry(), QRect(10, 10, 100, 20));
    EXPECT_EQ(Form.Label1->geometry(), QRect(584, 80, 194, 34));
}

TEST_F(ScalableWindow, GridInternalsAreLeftToTheGrid)
{
    ResizeTo(*Form, 800, 600);
    EXPECT_EQ(Form->Grid1->geometry(), QRect(440, 200, 340, 300));
    // The grid lays out its own viewport inside its new size.
    const QWidget* Viewport = Form->Grid1->viewport();
    EXPECT_LE(Viewport->geometry().right(), Form->Grid1->width());
    EXPECT_GT(Viewport->width(), 170);
}

TEST(ScalableDegenerate, NoLayoutOrEmptyDesignSizeNeverDividesByZero)
{
    // A window recorded with no client area keeps its controls as designed.
    TTestForm Empty(0, 0);
    EXPECT_EQ(Empty.GetScaleX(), 1.0f);
    EXPECT_EQ(Empty.GetScaleY(), 1.0f);
    Empty.resize(300, 200);
    Empty.FormResize();
    EXPECT_EQ(Empty.Label1->geometry(), QRect(292, 40, 97, 17));

    // Resizing before the records exist, or after they were re-made, is safe.
    TfrmScalable Bare;
    EXPECT_EQ(Bare.Layout(), nullptr);
    EXPECT_EQ(Bare.GetScaleX(), 1.0f);
    Bare.FormResize();

    TTestForm Form;
    Form.resize(800, 300);
    Form.Recreate(); // records the new size as design size
    EXPECT_EQ(Form.DesignWidth(), 800);
    EXPECT_EQ(Form.GetScaleX(), 1.0f);
    Form.FormResize();
    EXPECT_EQ(Form.Label1->geometry(), QRect(292, 40, 97, 17));
}

} // namespace
