#include "platform/core/running_mark.h"

#include <windows.h>

namespace ferrowyn {

void markRunning() {
    // In the global namespace, so that a setup program started by another user or elevated sees it. The handle
    // stays open until the process ends, which removes the mark. When another user's Ferrowyn holds the mark
    // already, it cannot be opened here (access denied), but it marks a running Ferrowyn all the same.
    CreateMutexW(nullptr, FALSE, L"Global\\" FERROWYN_RUNNING_MARK);
}

} // namespace ferrowyn
