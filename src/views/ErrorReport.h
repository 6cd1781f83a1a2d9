#pragma once
// The general error report, reachable from every window: event handlers that
// can fail catch their own errors and hand the message here, so no exception
// travels through Qt's event or signal dispatch.
//
// Threads: GUI thread only. The reporter is a process-wide setting; the
// application installs its own at start-up (a message box that never piles
// up). Until then, and after SetErrorReporter(nullptr), a plain modal message
// box captioned with the application name is shown.

#include <QString>

#include <exception>
#include <functional>
#include <utility>

using TErrorReporter = std::function<void(const QString& Message)>;

// Replaces the reporter (nullptr restores the plain message box).
void SetErrorReporter(TErrorReporter Reporter);

// Shows Message through the current reporter.
void ReportError(const QString& Message);

// Runs Action. A std::exception escaping it is reported with its UTF-8
// what(), anything else with a fixed Spanish text. Returns true when Action
// ran to its end without throwing.
template <class TAction> bool RunReported(TAction&& Action)
{
    try {
        std::forward<TAction>(Action)();
        return true;
    } catch (const std::exception& E) {
        ReportError(QString::fromUtf8(E.what()));
    } catch (...) {
        ReportError(QStringLiteral("Se produjo un error inesperado."));
    }
    return false;
}
