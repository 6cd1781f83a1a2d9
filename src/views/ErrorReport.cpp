#include "views/ErrorReport.h"

#include <QApplication>
#include <QMessageBox>

namespace {

TErrorReporter& CurrentReporter()
{
    static TErrorReporter Reporter;
    return Reporter;
}

} // namespace

void SetErrorReporter(TErrorReporter Reporter) { CurrentReporter() = std::move(Reporter); }

void ReportError(const QString& Message)
{
    if (const TErrorReporter& Reporter = CurrentReporter()) {
        Reporter(Message);
        return;
    }
    QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationName(), Message);
}
