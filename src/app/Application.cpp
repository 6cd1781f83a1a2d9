#include "app/Application.h"

#include <QMessageBox>

#include "views/ErrorReport.h"

#include <cstdlib>
#include <iostream>
#include <stdexcept>

const char* const NoGraphicalSessionMessage =
    "velmor: no graphical session found (DISPLAY is not set); start it from a desktop or under a virtual X "
    "display.";

std::locale EnvironmentLocale()
{
    try {
        return std::locale("");
    } catch (const std::runtime_error&) {
        return std::locale::classic();
    }
}

bool HasGraphicalSession()
{
    for (const char* Name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* Value = std::getenv(Name);
        if (Value != nullptr && *Value != '\0')
            return true;
    }
    return false;
}

TApplication::TApplication(int& Argc, char** Argv) : QApplication(Argc, Argv)
{
    setApplicationName(QStringLiteral("Velmor"));
    // Windows below the shell report their own failures through the same
    // box as the errors caught in notify.
    SetErrorReporter(&TApplication::ShowException);
}

bool TApplication::notify(QObject* Receiver, QEvent* Event)
{
    return DeliverGuarded([&] { return QApplication::notify(Receiver, Event); }, &TApplication::ShowException);
}

void TApplication::ShowException(const QString& Message)
{
    static bool Reporting = false;
    if (Reporting) {
        std::cerr << applicationName().toStdString() << ": " << Message.toStdString() << '\n';
        return;
    }
    struct TGuard {
        TGuard() { Reporting = true; }
        ~TGuard() { Reporting = false; }
    } Guard;
    QMessageBox::critical(activeWindow(), applicationName(), Message);
}
