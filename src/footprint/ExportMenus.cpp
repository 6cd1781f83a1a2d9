#include "footprint/ExportMenus.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QSaveFile>

#include "footprint/Tones.h"
#include "views/AdvStringGrid.h"
#include "views/ErrorReport.h"
#include "views/VisualRoom.h"

namespace {

QString AskSaveName(QWidget* Parent, const QString& Title, const QString& Filter, const QString& Suffix,
                    const QString& Proposed)
{
    QFileDialog Dialog(Parent);
    Dialog.setAcceptMode(QFileDialog::AcceptSave);
    Dialog.setFileMode(QFileDialog::AnyFile);
    Dialog.setDefaultSuffix(Suffix);
    Dialog.setNameFilter(Filter);
    // Qt's own dialog, as the window's other save dialog.
    Dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    Dialog.setWindowTitle(Title);
    Dialog.selectFile(Proposed);
    if (Dialog.exec() != QDialog::Accepted)
        return {};
    return Dialog.selectedFiles().value(0);
}

QMenu* NewMenu(QWidget* Owner, const char* Name)
{
    auto* Menu = new QMenu(Owner);
    Menu->setObjectName(QString::fromLatin1(Name));
    Menu->setAttribute(Qt::WA_DeleteOnClose);
    return Menu;
}

void ShowTableMenu(TfrmTones& Form, const QPoint& Global)
{
    QMenu* Menu = NewMenu(Form.sgModes, "mnTable");
    Menu->addAction(QStringLiteral("Copiar tabla"), &Form, [&Form] { RunReported([&Form] { CopyTable(Form, false); }); });
    Menu->addAction(QStringLiteral("Exportar CSV..."), &Form, [&Form] {
        RunReported([&Form] {
            const QString Name = AskSaveName(&Form, QStringLiteral("Exportar CSV"), QStringLiteral("CSV (*.csv)"),
                                             QStringLiteral("csv"), QStringLiteral("Modos.csv"));
            if (!Name.isEmpty())
                ExportTableCsv(Form, Name);
        });
    });
    Menu->popup(Global);
}

void ShowViewMenu(TVisualRoom& View, const QPoint& Global)
{
    QMenu* Menu = NewMenu(&View, "mnView");
    Menu->addAction(QStringLiteral("Guardar imagen..."), &View, [&View] {
        RunReported([&View] {
            const QString Name = AskSaveName(View.window(), QStringLiteral("Guardar imagen"), QStringLiteral("PNG (*.png)"),
                                             QStringLiteral("png"), View.accessibleName() + QStringLiteral(".png"));
            if (!Name.isEmpty())
                SaveViewImage(View, Name);
        });
    });
    Menu->addAction(QStringLiteral("Copiar imagen"), &View, [&View] { RunReported([&View] { CopyViewImage(View); }); });
    Menu->popup(Global);
}

// On a view: remembers whether the right press grabbed an element (the view
// grabs the element under the pointer on any button), opens the menu on the
// release of one that did not, and on the menu key.
class TViewMenuFilter : public QObject {
public:
    explicit TViewMenuFilter(TVisualRoom& View) : QObject(&View), FView(View) {}

    bool eventFilter(QObject*, QEvent* Event) override
    {
        switch (Event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            const auto* E = static_cast<QMouseEvent*>(Event);
            if (E->button() == Qt::RightButton) {
                const QPoint P = E->position().toPoint();
                FRightGrabbed = FView.ItemAt(P.x(), P.y()) != nullptr;
            }
            return false;
        }
        case QEvent::MouseButtonRelease: {
            const auto* E = static_cast<QMouseEvent*>(Event);
            if (E->button() == Qt::RightButton && !FRightGrabbed)
                ShowViewMenu(FView, E->globalPosition().toPoint());
            if (E->button() == Qt::RightButton)
                FRightGrabbed = false;
            return false;
        }
        case QEvent::ContextMenu: {
            // The pointer's own context event (on the press, on some desktops)
            // is left out: the release opens the menu.
            const auto* E = static_cast<QContextMenuEvent*>(Event);
            if (E->reason() == QContextMenuEvent::Keyboard)
                ShowViewMenu(FView, FView.mapToGlobal(FView.rect().center()));
            return true;
        }
        default:
            return false;
        }
    }

private:
    TVisualRoom& FView;
    bool FRightGrabbed = false;
};

// On the table: Ctrl+C copies the marked rows instead of the current cell.
class TTableCopyFilter : public QObject {
public:
    explicit TTableCopyFilter(TfrmTones& Form) : QObject(Form.sgModes), FForm(Form) {}

    bool eventFilter(QObject*, QEvent* Event) override
    {
        if (Event->type() != QEvent::KeyPress && Event->type() != QEvent::ShortcutOverride)
            return false;
        auto* E = static_cast<QKeyEvent*>(Event);
        if (!E->matches(QKeySequence::Copy))
            return false;
        if (Event->type() == QEvent::ShortcutOverride) {
            E->accept();
            return true;
        }
        RunReported([this] { CopyTable(FForm, true); });
        return true;
    }

private:
    TfrmTones& FForm;
};

}  // namespace

void InstallExportMenus(TfrmTones& Form)
{
    TAdvStringGrid* Grid = Form.sgModes;
    Grid->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(Grid, &QWidget::customContextMenuRequested, &Form, [&Form](const QPoint& Pos) {
        ShowTableMenu(Form, Form.sgModes->viewport()->mapToGlobal(Pos));
    });
    Grid->installEventFilter(new TTableCopyFilter(Form));
    for (TVisualRoom* View : {Form.vrTop, Form.vrHeight}) {
        View->setFocusPolicy(Qt::StrongFocus);
        View->installEventFilter(new TViewMenuFilter(*View));
    }
}

std::vector<std::string> TableHeader(const TfrmTones& Form)
{
    const TAdvStringGrid& Grid = *Form.sgModes;
    std::vector<std::string> Header;
    for (int C = 0; C < Grid.ColCount(); ++C)
        if (!Grid.isColumnHidden(C) && Grid.columnWidth(C) > 0)
            Header.push_back(Grid.Cell(C, 0).toStdString());
    return Header;
}

std::vector<TExportRow> TableRows(const TfrmTones& Form, bool MarkedOnly)
{
    const TAdvStringGrid& Grid = *Form.sgModes;
    const TModeManager& Modes = Form.Modes();
    // Only rows that show a mode: an empty list leaves one blank row.
    const int Rows = std::min(Modes.Count(), Grid.RowCount() - TAdvStringGrid::FixedRows);
    std::vector<TExportRow> Out;
    for (int R = 1; R <= Rows; ++R) {
        if (MarkedOnly && !Grid.IsRowMarked(R))
            continue;
        TExportRow Row;
        for (int C = 0; C < Grid.ColCount(); ++C)
            if (!Grid.isColumnHidden(C) && Grid.columnWidth(C) > 0)
                Row.Cells.push_back(Grid.Cell(C, R).toStdString());
        Row.Mode = Modes.GetMode(R - 1);
        Out.push_back(std::move(Row));
    }
    return Out;
}

void CopyTable(const TfrmTones& Form, bool MarkedOnly)
{
    const std::vector<TExportRow> Rows = TableRows(Form, MarkedOnly);
    // Copying no marked row leaves the clipboard as it was.
    if (MarkedOnly && Rows.empty())
        return;
    const std::string Text = TableText(MarkedOnly ? std::vector<std::string>() : TableHeader(Form), Rows);
    QApplication::clipboard()->setText(QString::fromStdString(Text));
}

bool WriteWholeFileReported(const QString& FileName, const QByteArray& Bytes)
{
    QSaveFile File(FileName);
    if (File.open(QIODevice::WriteOnly) && File.write(Bytes) == Bytes.size() && File.commit())
        return true;
    const QString Reason = File.errorString();
    File.cancelWriting();
    ReportError(QStringLiteral("No se pudo guardar el archivo %1: %2").arg(FileName, Reason));
    return false;
}

bool ExportTableCsv(const TfrmTones& Form, const QString& FileName)
{
    const std::string Csv = TableCsv(TableHeader(Form), TableRows(Form, false));
    return WriteWholeFileReported(FileName, QByteArray::fromStdString(Csv));
}

bool SaveViewImage(TVisualRoom& View, const QString& FileName)
{
    QByteArray Png;
    QBuffer Buffer(&Png);
    Buffer.open(QIODevice::WriteOnly);
    if (!View.Render().save(&Buffer, "PNG")) {
        ReportError(QStringLiteral("No se pudo guardar el archivo %1: la imagen no se pudo codificar.").arg(FileName));
        return false;
    }
    return WriteWholeFileReported(FileName, Png);
}

void CopyViewImage(TVisualRoom& View)
{
    QApplication::clipboard()->setImage(View.Render());
}
