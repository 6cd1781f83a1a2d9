// The marked-row grid: the mark gestures driven by real mouse events, the
// moment the click is reported, the painting of marked rows, and the text
// storage the modes window relies on.
#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QTest>
#include <vector>

#include "views/AdvStringGrid.h"

namespace {

class AdvStringGridTest : public ::testing::Test {
protected:
    TAdvStringGrid Grid;

    void SetUp() override
    {
        Grid.SetColCount(6);
        Grid.SetRowCount(30);
        for (int R = 1; R < 30; ++R)
            Grid.SetCell(0, R, QString::number(R));
        Grid.resize(400, 600);
        Grid.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Grid));
    }

    QPoint RowPoint(int Row) const { return Grid.CellRect(1, Row).center(); }
    QWidget* Port() { return Grid.viewport(); }

    void PressRow(int Row, Qt::KeyboardModifiers Keys = Qt::NoModifier)
    {
        QTest::mousePress(Port(), Qt::LeftButton, Keys, RowPoint(Row));
    }
    // QTest::mouseMove sends no button state; the grid does not need one.
    void MoveToRow(int Row) { QTest::mouseMove(Port(), RowPoint(Row)); }
    void ReleaseRow(int Row) { QTest::mouseRelease(Port(), Qt::LeftButton, Qt::NoModifier, RowPoint(Row)); }
    void Click(int Row, Qt::KeyboardModifiers Keys = Qt::NoModifier)
    {
        QTest::mouseClick(Port(), Qt::LeftButton, Keys, RowPoint(Row));
    }

    std::vector<int> Marked() const
    {
        std::vector<int> Rows;
        for (int R = 0; R < Grid.RowCount(); ++R)
            if (Grid.IsRowMarked(R))
                Rows.push_back(R);
        return Rows;
    }
};

using Rows = std::vector<int>;

} // namespace

TEST_F(AdvStringGridTest, ProgramMarksAndTheMarkSetsEdges)
{
    // A new grid starts with its first data row marked.
    EXPECT_EQ(Marked(), Rows{1});
    EXPECT_FALSE(Grid.IsRowMarked(-1));
    Grid.SetRowMarked(600, true);
    EXPECT_TRUE(Grid.IsRowMarked(600)) << "the mark set grows";
    EXPECT_FALSE(Grid.IsRowMarked(601));
    Grid.SetRowMarked(700, false);
    EXPECT_FALSE(Grid.IsRowMarked(700));
    Grid.SetRowMarked(-3, true);
    EXPECT_FALSE(Grid.IsRowMarked(-3));
    Grid.SetRowMarked(1, false);
    EXPECT_EQ(Marked(), Rows{});
}

TEST_F(AdvStringGridTest, ClicksMarkOneRowCtrlClicksToggle)
{
    Grid.SetRowMarked(5, true);
    Grid.SetRowMarked(9, true);
    Click(7);
    EXPECT_EQ(Marked(), Rows{7});
    Click(7);
    EXPECT_EQ(Marked(), Rows{7}) << "all cleared, then the clicked row inverted";
    Click(4, Qt::ControlModifier);
    EXPECT_EQ(Marked(), (Rows{4, 7}));
    Click(7, Qt::ControlModifier);
    EXPECT_EQ(Marked(), (Rows{4}));
    Click(4, Qt::ControlModifier);
    EXPECT_EQ(Marked(), Rows{});
}

TEST_F(AdvStringGridTest, DraggingMarksTheRunFromTheAnchor)
{
    Grid.SetRowMarked(10, true);
    PressRow(3);
    MoveToRow(6);
    EXPECT_EQ(Marked(), (Rows{3, 4, 5, 6}));
    MoveToRow(4);
    EXPECT_EQ(Marked(), (Rows{3, 4}));
    MoveToRow(1);
    EXPECT_EQ(Marked(), (Rows{1, 2, 3}));
    ReleaseRow(1);
    EXPECT_EQ(Grid.AnchorRow(), -1);
    EXPECT_EQ(Grid.LastRow(), -1);
    MoveToRow(8);
    EXPECT_EQ(Marked(), (Rows{1, 2, 3})) << "after the release movement changes nothing";
}

TEST_F(AdvStringGridTest, CtrlDragKeepsOtherMarksButNotThoseItPassesBack)
{
    // The anchor's mark is inverted first, then the run is marked from it.
    Grid.SetRowMarked(5, true);
    PressRow(5, Qt::ControlModifier);
    EXPECT_EQ(Marked(), (Rows{1}));
    MoveToRow(7);
    EXPECT_EQ(Marked(), (Rows{1, 5, 6, 7}));
    ReleaseRow(7);

    Grid.SetRowMarked(12, true);
    Grid.SetRowMarked(13, true);
    PressRow(10, Qt::ControlModifier);
    MoveToRow(14);
    EXPECT_EQ(Marked(), (Rows{1, 5, 6, 7, 10, 11, 12, 13, 14}));
    MoveToRow(11);
    EXPECT_EQ(Marked(), (Rows{1, 5, 6, 7, 10, 11})) << "rows left behind are unmarked, even those marked before";
    ReleaseRow(11);
}

TEST_F(AdvStringGridTest, ClickIsReportedOnReleaseWithFinalMarks)
{
    std::vector<Rows> Seen;
    Grid.OnClick = [&](TAdvStringGrid& Sender) {
        EXPECT_EQ(&Sender, &Grid);
        Seen.push_back(Marked());
    };
    PressRow(3);
    MoveToRow(5);
    EXPECT_TRUE(Seen.empty()) << "nothing is reported before the release";
    // Released two rows further down without a movement event in between:
    // the release point still counts.
    ReleaseRow(7);
    ASSERT_EQ(Seen.size(), 1u);
    EXPECT_EQ(Seen[0], (Rows{3, 4, 5, 6, 7}));

    Click(2);
    ASSERT_EQ(Seen.size(), 2u);
    EXPECT_EQ(Seen[1], Rows{2});
}

TEST_F(AdvStringGridTest, HoverHeaderAndEmptySpaceStartNothing)
{
    int Clicks = 0;
    Grid.OnClick = [&](TAdvStringGrid&) { ++Clicks; };
    for (int R = 1; R < 12; ++R)
        MoveToRow(R);
    EXPECT_EQ(Marked(), Rows{1}) << "hover without a press";

    QHeaderView* Header = Grid.horizontalHeader();
    const QPoint OnHeader(Header->sectionViewportPosition(1) + 5, Header->height() / 2);
    QTest::mousePress(Header->viewport(), Qt::LeftButton, Qt::NoModifier, OnHeader);
    QTest::mouseMove(Port(), RowPoint(4));
    QTest::mouseRelease(Header->viewport(), Qt::LeftButton, Qt::NoModifier, OnHeader);
    EXPECT_EQ(Marked(), Rows{1}) << "press on the header, drag into the rows";

    // Below the last row and right of the last column there are no cells.
    Grid.SetRowCount(5);
    const QPoint Below(RowPoint(4).x(), Grid.CellRect(1, 4).bottom() + 40);
    const QPoint Beside(Grid.CellRect(5, 2).right() + 30, RowPoint(2).y());
    for (const QPoint P : {Below, Beside}) {
        QTest::mousePress(Port(), Qt::LeftButton, Qt::NoModifier, P);
        EXPECT_EQ(Grid.AnchorRow(), -1);
        MoveToRow(3);
        QTest::mouseRelease(Port(), Qt::LeftButton, Qt::NoModifier, RowPoint(3));
    }
    EXPECT_EQ(Marked(), Rows{1});
    EXPECT_EQ(Clicks, 0);
}

TEST_F(AdvStringGridTest, DoubleClickMarksLikeTwoPresses)
{
    int Clicks = 0;
    Grid.OnClick = [&](TAdvStringGrid&) { ++Clicks; };
    // A platform double click: press, release, double-click press, release
    // (QTest::mouseDClick sends the third event alone).
    const auto DoubleClick = [&](int Row, Qt::KeyboardModifiers Keys) {
        Click(Row, Keys);
        QTest::mouseDClick(Port(), Qt::LeftButton, Keys, RowPoint(Row));
        QTest::mouseRelease(Port(), Qt::LeftButton, Keys, RowPoint(Row));
    };
    DoubleClick(6, Qt::NoModifier);
    EXPECT_EQ(Marked(), Rows{6});
    EXPECT_EQ(Clicks, 2);
    // Ctrl+double click toggles twice: no change.
    DoubleClick(8, Qt::ControlModifier);
    EXPECT_EQ(Marked(), Rows{6});
}

TEST_F(AdvStringGridTest, MarkedRowsPaintWhiteOnNavy)
{
    Click(3);
    QApplication::processEvents();
    const QImage Image = Port()->grab().toImage();
    const QColor Navy(0, 0, 128);
    // Away from the outline and the text, in every cell of the row, the
    // row-number column included; not in other rows.
    const QRect First = Grid.CellRect(0, 3);
    EXPECT_EQ(Image.pixelColor(Grid.CellRect(1, 3).center() + QPoint(3, 0)), Navy);
    EXPECT_EQ(Image.pixelColor(First.right() - 3, First.center().y()), Navy);
    EXPECT_NE(Image.pixelColor(Grid.CellRect(1, 5).center()), Navy);
    // The row number in white (smoothed at its edges) at the cell's corner.
    int WhiteInCorner = 0;
    for (int Y = First.top(); Y < First.top() + First.height() / 2 + 3; ++Y)
        for (int X = First.left() + 1; X < First.left() + 8; ++X)
            if (Image.pixelColor(X, Y).red() > 100)
                ++WhiteInCorner;
    EXPECT_GT(WhiteInCorner, 3);
}

TEST_F(AdvStringGridTest, CellsRowCountAndClearRows)
{
    Grid.SetCell(2, 0, QStringLiteral("(p,q,r)"));
    EXPECT_EQ(Grid.model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("(p,q,r)"));
    // Cells may be written before the row count includes them.
    Grid.SetCell(1, 40, QStringLiteral("31.5 Hz"));
    EXPECT_EQ(Grid.Cell(1, 40), QStringLiteral("31.5 Hz"));
    Grid.SetRowCount(41);
    EXPECT_EQ(Grid.model()->rowCount(), 40);
    EXPECT_EQ(Grid.model()->index(39, 1).data().toString(), QStringLiteral("31.5 Hz"));
    Grid.SetCell(9, 3, QStringLiteral("outside"));
    EXPECT_TRUE(Grid.Cell(9, 3).isEmpty());

    Grid.SetRowMarked(20, true);
    Grid.ClearRows();
    EXPECT_EQ(Grid.RowCount(), 2);
    for (int C = 0; C < Grid.ColCount(); ++C)
        EXPECT_TRUE(Grid.Cell(C, 1).isEmpty());
    EXPECT_TRUE(Grid.IsRowMarked(20)) << "marks belong to row numbers and stay";
    EXPECT_EQ(Grid.Cell(2, 0), QStringLiteral("(p,q,r)"));
    // Rows dropped by a shorter grid do not come back with old text.
    Grid.SetRowCount(41);
    EXPECT_TRUE(Grid.Cell(1, 40).isEmpty());
}

TEST_F(AdvStringGridTest, ThousandsOfRowsScrollAndMark)
{
    const int Last = 19999;
    Grid.SetRowCount(Last + 1);
    Grid.scrollToBottom();
    QApplication::processEvents();
    const QRect R = Grid.CellRect(1, Last);
    ASSERT_TRUE(Port()->rect().contains(R.center()));
    Click(Last);
    EXPECT_EQ(Marked(), Rows{Last}) << "the mark set grows past its first 512 rows";
    EXPECT_EQ(Port()->grab().toImage().pixelColor(R.right() - 3, R.center().y()), QColor(0, 0, 128));
}
