#include "views/AdvStringGrid.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <algorithm>

namespace {

constexpr int InitialMarkCapacity = 512;
const QColor MarkFill(0, 0, 128);
const QColor MarkText(255, 255, 255);

} // namespace

// Grid rows 1 .. RowCount - 1 are model rows 0 .. RowCount - 2; grid row 0
// is the horizontal header.
class TAdvStringGrid::TModel : public QAbstractTableModel {
public:
    explicit TModel(QObject* Parent) : QAbstractTableModel(Parent) {}

    int rowCount(const QModelIndex& Parent = QModelIndex()) const override
    {
        return Parent.isValid() ? 0 : FRowCount - FixedRows;
    }
    int columnCount(const QModelIndex& Parent = QModelIndex()) const override
    {
        return Parent.isValid() ? 0 : FColCount;
    }
    QVariant data(const QModelIndex& Index, int Role) const override
    {
        if (Role != Qt::DisplayRole || !Index.isValid())
            return {};
        return Cell(Index.column(), Index.row() + FixedRows);
    }
    QVariant headerData(int Section, Qt::Orientation Orientation, int Role) const override
    {
        if (Role != Qt::DisplayRole)
            return {};
        if (Orientation == Qt::Horizontal)
            return Cell(Section, 0);
        return Section + FixedRows;
    }
    Qt::ItemFlags flags(const QModelIndex& Index) const override
    {
        return Index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }

    int RowCount() const { return FRowCount; }
    int ColCount() const { return FColCount; }

    QString Cell(int Col, int Row) const
    {
        if (Row < 0 || Col < 0 || Row >= static_cast<int>(FCells.size()))
            return {};
        const std::vector<QString>& Line = FCells[static_cast<std::size_t>(Row)];
        return Col < static_cast<int>(Line.size()) ? Line[static_cast<std::size_t>(Col)] : QString();
    }

    void SetCell(int Col, int Row, const QString& Text)
    {
        if (Row < 0 || Col < 0 || Col >= FColCount)
            return;
        if (Row >= static_cast<int>(FCells.size()))
            FCells.resize(static_cast<std::size_t>(Row) + 1);
        std::vector<QString>& Line = FCells[static_cast<std::size_t>(Row)];
        if (Col >= static_cast<int>(Line.size()))
            Line.resize(static_cast<std::size_t>(Col) + 1);
        Line[static_cast<std::size_t>(Col)] = Text;
        if (Row == 0) {
            emit headerDataChanged(Qt::Horizontal, Col, Col);
        } else if (Row < FRowCount) {
            const QModelIndex I = index(Row - FixedRows, Col);
            emit dataChanged(I, I, {Qt::DisplayRole});
        }
    }

    void SetRowCount(int Count)
    {
        Count = std::max(Count, FixedRows + 1);
        if (Count > FRowCount) {
            beginInsertRows(QModelIndex(), FRowCount - FixedRows, Count - FixedRows - 1);
            FRowCount = Count;
            endInsertRows();
        } else if (Count < FRowCount) {
            beginRemoveRows(QModelIndex(), Count - FixedRows, FRowCount - FixedRows - 1);
            FRowCount = Count;
            if (static_cast<int>(FCells.size()) > Count)
                FCells.resize(static_cast<std::size_t>(Count));
            endRemoveRows();
        }
    }

    void SetColCount(int Count)
    {
        Count = std::max(Count, 1);
        if (Count > FColCount) {
            beginInsertColumns(QModelIndex(), FColCount, Count - 1);
            FColCount = Count;
            endInsertColumns();
        } else if (Count < FColCount) {
            beginRemoveColumns(QModelIndex(), Count, FColCount - 1);
            FColCount = Count;
            for (std::vector<QString>& Line : FCells)
                if (static_cast<int>(Line.size()) > Count)
                    Line.resize(static_cast<std::size_t>(Count));
            endRemoveColumns();
        }
    }

private:
    int FRowCount = 5;
    int FColCount = 5;
    // Grid rows, header row first; rows may be shorter than ColCount.
    std::vector<std::vector<QString>> FCells;
};

// Normal drawing first; a marked row is then overpainted white on navy with
// its text at the cell's very corner and a dotted outline.
class TAdvStringGrid::TDelegate : public QStyledItemDelegate {
public:
    explicit TDelegate(TAdvStringGrid& Grid) : QStyledItemDelegate(&Grid), FGrid(Grid) {}

    void paint(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index) const override
    {
        QStyledItemDelegate::paint(Painter, Option, Index);
        const int Row = Index.row() + FixedRows;
        if (!FGrid.IsRowMarked(Row))
            return;
        const QRect R = Option.rect;
        Painter->save();
        Painter->fillRect(R, MarkFill);
        Painter->setPen(MarkText);
        Painter->drawText(R, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, Index.data().toString());
        Painter->setPen(QPen(MarkText, 0, Qt::DotLine));
        Painter->setBrush(Qt::NoBrush);
        Painter->drawRect(R.adjusted(0, 0, -1, -1));
        Painter->restore();
    }

private:
    TAdvStringGrid& FGrid;
};

TAdvStringGrid::TAdvStringGrid(QWidget* Parent)
    : QTableView(Parent), FModel(new TModel(this)), FDelegate(new TDelegate(*this)),
      FMarks(InitialMarkCapacity, false)
{
    FMarks[FixedRows] = true;
    setModel(FModel);
    setItemDelegate(FDelegate);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // A screen reader announces the scroll bars of a long table too.
    verticalScrollBar()->setAccessibleName(QStringLiteral("Desplazamiento vertical"));
    horizontalScrollBar()->setAccessibleName(QStringLiteral("Desplazamiento horizontal"));
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setWordWrap(false);
    SetDefaultRowHeight(16);
}

TAdvStringGrid::~TAdvStringGrid() = default;

int TAdvStringGrid::ColCount() const { return FModel->ColCount(); }
void TAdvStringGrid::SetColCount(int Count) { FModel->SetColCount(Count); }
int TAdvStringGrid::RowCount() const { return FModel->RowCount(); }
void TAdvStringGrid::SetRowCount(int Count) { FModel->SetRowCount(Count); }
QString TAdvStringGrid::Cell(int Col, int Row) const { return FModel->Cell(Col, Row); }
void TAdvStringGrid::SetCell(int Col, int Row, const QString& Text) { FModel->SetCell(Col, Row, Text); }

void TAdvStringGrid::SetDefaultRowHeight(int Height)
{
    verticalHeader()->setMinimumSectionSize(std::min(Height, verticalHeader()->minimumSectionSize()));
    verticalHeader()->setDefaultSectionSize(Height);
    horizontalHeader()->setFixedHeight(Height);
}

bool TAdvStringGrid::IsRowMarked(int Row) const
{
    return Row >= 0 && Row < static_cast<int>(FMarks.size()) && FMarks[static_cast<std::size_t>(Row)];
}

void TAdvStringGrid::SetRowMarked(int Row, bool Value)
{
    if (Row < 0)
        return;
    SetMarkRange(Row, Row, Value);
    RepaintMarks();
}

void TAdvStringGrid::SetMarkRange(int First, int Last, bool Value)
{
    if (Last < First || Last < 0)
        return;
    First = std::max(First, 0);
    if (Last >= static_cast<int>(FMarks.size()))
        FMarks.resize(static_cast<std::size_t>(Last) + 1, false);
    std::fill(FMarks.begin() + First, FMarks.begin() + Last + 1, Value);
}

void TAdvStringGrid::RepaintMarks() { viewport()->update(); }

void TAdvStringGrid::ClearRows()
{
    SetRowCount(FixedRows + 1);
    for (int Col = 0; Col < ColCount(); ++Col)
        SetCell(Col, FixedRows, QString());
}

int TAdvStringGrid::RowAtPixel(const QPoint& ViewportPos) const
{
    const QModelIndex Index = indexAt(ViewportPos);
    return Index.isValid() ? Index.row() + FixedRows : -1;
}

QRect TAdvStringGrid::CellRect(int Col, int Row) const
{
    if (Row < FixedRows || Row >= RowCount() || Col < 0 || Col >= ColCount())
        return {};
    return visualRect(FModel->index(Row - FixedRows, Col));
}

void TAdvStringGrid::mousePressEvent(QMouseEvent* Event)
{
    QTableView::mousePressEvent(Event);
    FAnchorRow = RowAtPixel(Event->position().toPoint());
    if (FAnchorRow < FixedRows)
        return;
    FLastRow = FAnchorRow;
    if (!Event->modifiers().testFlag(Qt::ControlModifier))
        SetMarkRange(0, RowCount() - 1, false);
    SetMarkRange(FAnchorRow, FAnchorRow, !IsRowMarked(FAnchorRow));
    RepaintMarks();
}

void TAdvStringGrid::mouseDoubleClickEvent(QMouseEvent* Event)
{
    // The second press of a double click marks like any other press.
    mousePressEvent(Event);
}

void TAdvStringGrid::mouseMoveEvent(QMouseEvent* Event)
{
    QTableView::mouseMoveEvent(Event);
    MarkGestureMove(Event->position().toPoint());
}

void TAdvStringGrid::MarkGestureMove(const QPoint& ViewportPos)
{
    const int Row = RowAtPixel(ViewportPos);
    if (FAnchorRow < FixedRows || Row < FixedRows || Row == FLastRow)
        return;
    SetMarkRange(std::min(FLastRow, Row), std::max(FLastRow, Row), false);
    SetMarkRange(std::min(Row, FAnchorRow), std::max(Row, FAnchorRow), true);
    FLastRow = Row;
    RepaintMarks();
}

void TAdvStringGrid::mouseReleaseEvent(QMouseEvent* Event)
{
    QTableView::mouseReleaseEvent(Event);
    if (FAnchorRow >= FixedRows) {
        // The release point counts as the last step of the drag, so the
        // window sees the final marks.
        MarkGestureMove(Event->position().toPoint());
        if (OnClick)
            OnClick(*this);
    }
    FAnchorRow = -1;
    FLastRow = -1;
}
