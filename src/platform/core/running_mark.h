#pragma once

namespace ferrowyn {

// Marks that Ferrowyn runs, for as long as the process lives. On Windows the mark is a named mutex that the setup
// program and the uninstaller look for, so that they ask for Ferrowyn to be closed before they touch its files
// (Windows keeps a running program's files, and would keep them after an uninstall that says it has succeeded).
// Elsewhere there is nothing to mark.
void markRunning();

} // namespace ferrowyn
