#include "app/Application.h"

#include <QGuiApplication>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTranslator>

#include "views/ErrorReport.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <stdexcept>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

const char* const NoGraphicalSessionMessage =
    "velmor: no graphical session found (no display is set or it cannot be opened); start it from a desktop or "
    "under a virtual X display.";

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

bool CanOpenDisplay(int Argc, char** Argv)
{
    std::fflush(nullptr); // nothing buffered is written twice
    const pid_t Child = fork();
    if (Child < 0)
        return true;
    if (Child == 0) {
        // Qt's complaint about a dead display is replaced by the program's
        // own line, printed by the parent.
        const int Null = open("/dev/null", O_WRONLY);
        if (Null >= 0) {
            dup2(Null, STDOUT_FILENO);
            dup2(Null, STDERR_FILENO);
        }
        // Aborts the child when the platform cannot be opened.
        QGuiApplication Probe(Argc, Argv);
        _exit(QGuiApplication::primaryScreen() != nullptr ? 0 : 1);
    }
    int Status = 0;
    while (waitpid(Child, &Status, 0) < 0) {
        if (errno != EINTR)
            return true;
    }
    return WIFEXITED(Status) && WEXITSTATUS(Status) == 0;
}

QTranslator* InstallToolkitSpanish()
{
    auto* Translator = new QTranslator(QCoreApplication::instance());
    if (!Translator->load(QStringLiteral("qtbase_es"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(Translator)) {
        delete Translator;
        return nullptr;
    }
    return Translator;
}

TApplication::TApplication(int& Argc, char** Argv) : QApplication(Argc, Argv)
{
    setApplicationName(QStringLiteral("Velmor"));
    InstallToolkitSpanish();
    InstallErrorReport();
}

void TApplication::InstallErrorReport()
{
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
