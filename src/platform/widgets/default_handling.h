#pragma once

#include <QString>
#include <exception>
#include <functional>

namespace ferrowyn {

// What happens to an error that no handler deals with: a message box with the error, then the program ends with
// a non-zero status. Nothing is saved on the way out.
void applyDefaultHandling(const QString& error);

// Runs one event handler so that no exception crosses into Qt's event loop: whatever escapes it gets the
// default handling.
template <typename Handler> void runGuarded(Handler&& handler) noexcept {
    try {
        std::forward<Handler>(handler)();
    } catch (const std::exception& error) {
        applyDefaultHandling(QString::fromStdString(error.what()));
    } catch (...) {
        applyDefaultHandling(QStringLiteral("An unknown error occurred."));
    }
}

// Tests replace the end of the program, which otherwise ends the process at once.
using ProgramEnd = std::function<void(int status)>;
void setProgramEnd(ProgramEnd end);

} // namespace ferrowyn
