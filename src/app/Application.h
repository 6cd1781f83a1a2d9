#pragma once
// Start-up helpers and the application object: the global C++ locale, the
// check for a graphical session, and the general error report that keeps the
// program going when an event handler throws.

#include <QApplication>
#include <QString>

#include <exception>
#include <locale>
#include <utility>

class QTranslator;

// The locale the user's environment names (LC_ALL, LC_NUMERIC, LANG, ...);
// the classic "C" locale when that one is not installed or cannot be built.
std::locale EnvironmentLocale();

// True when the environment tells Qt where to show windows: DISPLAY or
// WAYLAND_DISPLAY, or an explicit QT_QPA_PLATFORM. Empty values count as unset.
bool HasGraphicalSession();

// True when Qt can open its window system here with these arguments: the
// display answers and the platform plugin loads. Qt ends the whole process
// with its own diagnostic when it cannot, so a short-lived child process
// tries first, silenced. Call before any Qt object or thread exists. When no
// child can be started the answer is true and Qt is left to try itself.
bool CanOpenDisplay(int Argc, char** Argv);

// The one line printed (to standard error) when there is no graphical
// session, or the one named cannot be opened.
extern const char* const NoGraphicalSessionMessage;

// Loads Qt's own Spanish texts (message box buttons, the file dialog, the
// context menus of edit boxes) into the running application. The interface
// is Spanish whatever language the user's environment names, so the
// toolkit's texts are too. Returns the installed translator, owned by the
// application, or nullptr when the translation is not installed (the
// toolkit's texts then stay English).
QTranslator* InstallToolkitSpanish();

// Runs Deliver() and returns its result. An exception escaping it is handed
// to Report as text (UTF-8 what() of a std::exception, a fixed text for
// anything else) and false is returned, as for an event nobody handled.
template <class TDeliver, class TReport> bool DeliverGuarded(TDeliver&& Deliver, TReport&& Report)
{
    try {
        return std::forward<TDeliver>(Deliver)();
    } catch (const std::exception& E) {
        Report(QString::fromUtf8(E.what()));
    } catch (...) {
        Report(QStringLiteral("Se produjo un error inesperado."));
    }
    return false;
}

// The program's application object. An exception that escapes an event
// handler is caught in notify and its message shown in a modal message box
// captioned with the application name; the event loop then goes on. While
// one report is open, a further exception (a paint handler that throws on
// every repaint, say) is written to standard error instead, so reports never
// pile up. GUI thread only.
class TApplication : public QApplication {
public:
    TApplication(int& Argc, char** Argv);

    bool notify(QObject* Receiver, QEvent* Event) override;

    // Shows Message as the general error report (see above).
    static void ShowException(const QString& Message);
    // Makes ShowException the report behind ReportError and RunReported, so
    // the windows' own failures land in the same box. Done on construction.
    static void InstallErrorReport();
};
