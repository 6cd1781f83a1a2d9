#pragma once
// The modes window's export menus, added from outside the window so that its
// own handling stays as it is.
//
// Table: a context menu with "Copiar tabla" (the visible columns as
// tab-separated text with the header line, to the clipboard) and "Exportar
// CSV..."; Ctrl+C copies the marked rows (without the header line; with
// none marked the clipboard stays as it was).
// Views: a context menu with "Guardar imagen..." (PNG of the view as shown,
// node marks included) and "Copiar imagen". The press, the drag and the
// element grab stay the view's: the menu opens on the release of a right
// click whose press grabbed no element, or through the keyboard's menu key
// (the views take the keyboard focus on a click or with Tab for that).
//
// Files are written whole through a temporary beside them, or not at all; a
// failure is told through ReportError. GUI thread only.

#include <QString>

#include <string>
#include <vector>

#include "footprint/Exports.h"

class QMenu;
class TfrmTones;
class TVisualRoom;

// Installs the menus and the copy key on the window's table and views.
void InstallExportMenus(TfrmTones& Form);

// The table's header (visible columns) and data rows, marked ones only on
// request, as shown.
std::vector<std::string> TableHeader(const TfrmTones& Form);
std::vector<TExportRow> TableRows(const TfrmTones& Form, bool MarkedOnly);

// The menu actions themselves, without their dialogs. The writers return
// false after reporting a failure.
void CopyTable(const TfrmTones& Form, bool MarkedOnly);
bool ExportTableCsv(const TfrmTones& Form, const QString& FileName);
bool SaveViewImage(TVisualRoom& View, const QString& FileName);
void CopyViewImage(TVisualRoom& View);
// Bytes to FileName whole, or nothing and a report.
bool WriteWholeFileReported(const QString& FileName, const QByteArray& Bytes);
