#include "platform/core/running_mark.h"

namespace ferrowyn {

// A package manager replaces a running program's files without harm: there is nothing to mark.
void markRunning() {}

} // namespace ferrowyn
