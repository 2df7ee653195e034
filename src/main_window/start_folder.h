#pragma once

namespace ferrowyn {

// Ferrowyn opens on its working folder when it remembers none. Started from its own folder (Explorer does that
// when Ferrowyn.exe is opened there) it would offer its own files for obliteration: then the user's Documents
// folder becomes the working folder, or the home folder when there is none. Any other working folder is kept.
void leaveProgramFolder();

} // namespace ferrowyn
