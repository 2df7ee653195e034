#include "platform/widgets/default_handling.h"
#include "platform/widgets/message_box.h"

#include <cstdio>
#include <cstdlib>

namespace ferrowyn {
namespace {

ProgramEnd& programEnd() {
    static ProgramEnd end = [](int status) {
        // At once, from inside the failed handler: the handlers that called it must not go on, and the window
        // must not save anything as it would on a clean close.
        std::fflush(nullptr);
        std::_Exit(status);
    };
    return end;
}

} // namespace

void applyDefaultHandling(const QString& error) {
    try {
        MessageBox::show(error);
    } catch (...) {
        // Even the box failed; end anyway.
    }
    programEnd()(EXIT_FAILURE);
}

void setProgramEnd(ProgramEnd end) {
    programEnd() = std::move(end);
}

} // namespace ferrowyn
