#pragma once
// TAdvStringGrid: a text grid with marks on whole rows. The user marks one
// row with a click, toggles single rows with Ctrl+click and marks a run of
// rows by dragging from the row where the press began; the program marks
// rows with SetRowMarked. Marked rows paint white on navy with a dotted
// outline. The grid's current cell, selection highlight, scrolling, column
// sizing and keyboard navigation are QTableView's own; the marks are
// independent of them.
//
// Rows are numbered as in a classic string grid: row 0 is the fixed header
// row (shown as the horizontal header), rows 1 .. RowCount - 1 are the data
// rows. Cells are plain text; they may be written beyond RowCount (they show
// once RowCount grows to include them); lowering RowCount drops the rows
// beyond it.
//
// Speed: one model over a flat table of strings and one delegate; nothing per
// row but the text and one bit, and painting touches the visible rows only,
// so tens of thousands of rows stay fluid.
//
// GUI thread only. OnClick is called on the release of a press that began on
// a data cell, after the marks are final.

#include <QTableView>
#include <functional>
#include <vector>

class TAdvStringGrid : public QTableView {
public:
    static constexpr int FixedRows = 1;

    // 5 columns, 5 rows (header included), rows 16 pixels high, row 1
    // marked.
    explicit TAdvStringGrid(QWidget* Parent = nullptr);
    ~TAdvStringGrid() override;

    int ColCount() const;
    // At least 1.
    void SetColCount(int Count);
    // Header row included.
    int RowCount() const;
    // At least FixedRows + 1.
    void SetRowCount(int Count);
    // Empty text for a cell never written or outside the grid.
    QString Cell(int Col, int Row) const;
    // Negative indices and columns at or beyond ColCount are ignored.
    void SetCell(int Col, int Row, const QString& Text);
    int ColWidth(int Col) const { return columnWidth(Col); }
    void SetColWidth(int Col, int Width) { setColumnWidth(Col, Width); }
    // Height of every row, the header row included, in pixels.
    void SetDefaultRowHeight(int Height);

    // False for a negative row or one beyond the mark set.
    bool IsRowMarked(int Row) const;
    // Grows the mark set as needed, sets the row's mark and repaints.
    // Negative rows are ignored.
    void SetRowMarked(int Row, bool Value);
    // One empty data row; marks are kept.
    void ClearRows();
    // Number of rows the mark set holds (512 at creation, grows on demand).
    int MarkCapacity() const { return static_cast<int>(FMarks.size()); }

    // The grid row under a viewport pixel, -1 outside the data cells.
    int RowAtPixel(const QPoint& ViewportPos) const;
    // Viewport rectangle of a data cell (empty for row 0 or outside).
    QRect CellRect(int Col, int Row) const;
    // The row where the current press began / the row the drag last
    // reached; -1 when no press is in progress.
    int AnchorRow() const { return FAnchorRow; }
    int LastRow() const { return FLastRow; }

    std::function<void(TAdvStringGrid& Sender)> OnClick;

protected:
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseDoubleClickEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;

private:
    class TModel;
    class TDelegate;

    void MarkGestureMove(const QPoint& ViewportPos);
    void SetMarkRange(int First, int Last, bool Value);
    void RepaintMarks();

    // Both are children of the grid (Qt parent ownership).
    TModel* FModel = nullptr;
    TDelegate* FDelegate = nullptr;
    std::vector<bool> FMarks;
    int FAnchorRow = -1;
    int FLastRow = -1;
};
