#include <gtest/gtest.h>

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

template <class T> T* Make(QWidget* Parent, const char* Name, const QRect& R)
{
    auto* W = new T(Parent); // owned by Parent
    W->setObjectName(QString::fromLatin1(Name));
    W->setGeometry(R);
    return W;
}

// A window laid out at 400 x 300 with the kinds of controls the real windows
// use: labels, a single-line edit box, a panel with a nested button and a
// grid whose own scroll bars, viewport and headers are not controls.
class TTestForm : public TfrmScalable {
public:
    explicit TTestForm(int DesignWidth = 400, int DesignHeight = 300)
    {
        resize(DesignWidth, DesignHeight);
        Label1 = Make<QLabel>(this, "Label1", QRect(292, 40, 97, 17));
        Make<QLabel>(this, "Label2", QRect(291, 61, 97, 15));
        Make<QLineEdit>(this, "edValue", QRect(10, 60, 120, 21));
        auto* Panel1 = Make<QFrame>(this, "Panel1", QRect(10, 100, 200, 80));
        Make<QPushButton>(Panel1, "Button1", QRect(8, 8, 75, 25));
        auto* Grid1 = Make<QTableWidget>(this, "Grid1", QRect(220, 100, 170, 150));
        Grid1->setRowCount(20);
        Grid1->setColumnCount(3);
        FormCreate();
    }

    void Recreate() { FormCreate(); }
    QRect Bounds(const char* Name) const { return findChild<QWidget*>(QString::fromLatin1(Name))->geometry(); }

    QLabel* Label1;
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
        Form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Form));
        ASSERT_EQ(Form.size(), QSize(400, 300));
    }
    TTestForm Form;
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
    for (const char* Other : {"EDWIDTH", "edWidt", ""})
        EXPECT_EQ(List.FindByName(Other), nullptr) << '"' << Other << '"';

    List.Clear();
    EXPECT_EQ(List.Count(), 0);
    EXPECT_EQ(List.FindByName("btnOk"), nullptr);
}

TEST(ScalableRecording, RecordsNamedControlsDepthFirstAndNoInternals)
{
    TTestForm Form;
    EXPECT_EQ(Form.DesignWidth(), 400);
    EXPECT_EQ(Form.DesignHeight(), 300);
    ASSERT_NE(Form.Layout(), nullptr);
    // Label1, Label2, edValue, Panel1, Button1, Grid1: the grid's own parts
    // stay unrecorded.
    EXPECT_EQ(Form.Layout()->Count(), 6);
    const Items::TItem* Nested = Form.Layout()->FindByName("Button1");
    ASSERT_NE(Nested, nullptr);
    // Relative to its panel.
    EXPECT_EQ(QRect(Nested->FLeft, Nested->FTop, Nested->FWidth, Nested->FHeight), QRect(8, 8, 75, 25));
}

TEST_F(ScalableWindow, EachControlScalesFromItsDesignBoundsAndOthersAreLeftAlone)
{
    // Moved by the program: put back at the next resize. Created later, or
    // under another name: no record, left where they are.
    Form.Label1->setGeometry(1, 2, 3, 4);
    auto* Later = Make<QLabel>(&Form, "LevelBar1", QRect(5, 6, 7, 8));
    auto* Renamed = Make<QLabel>(&Form, "label1", QRect(9, 9, 9, 9));
    Later->show();
    Renamed->show();

    const struct {
        QSize Size;
        const char* Name;
        QRect Expected;
    } Rows[] = {
        // Twice as wide: across only; the nested button scales inside its panel.
        {{800, 300}, "Label1", {584, 40, 194, 17}},
        {{800, 300}, "Panel1", {20, 100, 400, 80}},
        {{800, 300}, "Button1", {16, 8, 150, 25}},
        {{800, 600}, "Label1", {584, 80, 194, 34}},
        {{800, 600}, "Button1", {16, 16, 150, 50}},
        {{800, 600}, "Grid1", {440, 200, 340, 300}},
        // A single-line edit box keeps its height of 21 at every size.
        {{800, 600}, "edValue", {20, 120, 240, 21}},
        {{200, 150}, "edValue", {5, 30, 60, 21}},
        {{523, 377}, "edValue", {13, 75, 157, 21}},
        // Halves to even: 436.5 -> 436, 91.5 -> 92, 145.5 -> 146, 22.5 -> 22.
        {{600, 450}, "Label2", {436, 92, 146, 22}},
    };
    for (const auto& Row : Rows) {
        SCOPED_TRACE(testing::Message() << Row.Name << " at " << Row.Size.width() << 'x' << Row.Size.height());
        if (Form.size() != Row.Size)
            ResizeTo(Form, Row.Size.width(), Row.Size.height());
        EXPECT_EQ(Form.Bounds(Row.Name), Row.Expected);
    }
    EXPECT_EQ(Form.GetScaleX(), 1.5f);
    EXPECT_EQ(Form.GetScaleY(), 1.5f);
    EXPECT_EQ(Later->geometry(), QRect(5, 6, 7, 8));
    EXPECT_EQ(Renamed->geometry(), QRect(9, 9, 9, 9));
}

TEST_F(ScalableWindow, ReturningToDesignSizeRestoresEveryControl)
{
    const QList<QWidget*> All = Form.findChildren<QWidget*>();
    QList<QRect> Design;
    for (QWidget* W : All)
        Design.append(W->geometry());

    // Many odd sizes in a row: rounding must not accumulate.
    for (const QSize S : {QSize(200, 300), QSize(333, 211), QSize(401, 299), QSize(777, 555)})
        ResizeTo(Form, S.width(), S.height());
    ResizeTo(Form, 400, 300);
    for (int I = 0; I < All.size(); ++I) {
        const QString Name = All[I]->objectName();
        if (!Name.isEmpty() && !Name.startsWith(QLatin1String("qt_"))) {
            EXPECT_EQ(All[I]->geometry(), Design[I]) << Name.toStdString();
        }
    }
}

TEST(ScalableRecording, ChildWindowsAreNotPartOfTheLayout)
{
    // A dialog the form owns (a save dialog, say) keeps its own layout.
    TTestForm Form;
    auto* Owned = new QDialog(&Form); // owned by the form
    auto* Inside = Make<QLineEdit>(Owned, "fileNameEdit", QRect(10, 10, 100, 20));
    Form.Recreate();
    EXPECT_EQ(Form.Layout()->Count(), 6);

    Form.resize(800, 600);
    Form.FormResize();
    EXPECT_EQ(Inside->geometry(), QRect(10, 10, 100, 20));
    EXPECT_EQ(Form.Label1->geometry(), QRect(584, 80, 194, 34));
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

    // Resizing before the records exist is safe.
    TfrmScalable Bare;
    EXPECT_EQ(Bare.Layout(), nullptr);
    EXPECT_EQ(Bare.GetScaleX(), 1.0f);
    Bare.FormResize();

    // Recording again takes the current size as the design size.
    TTestForm Form;
    Form.resize(800, 300);
    Form.Recreate();
    EXPECT_EQ(Form.DesignWidth(), 800);
    EXPECT_EQ(Form.GetScaleX(), 1.0f);
    Form.FormResize();
    EXPECT_EQ(Form.Label1->geometry(), QRect(292, 40, 97, 17));
}

} // namespace
