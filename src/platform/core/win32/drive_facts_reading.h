#pragma once

#include "platform/core/drive_facts.h"

#include <filesystem>
#include <windows.h>

namespace ferrowyn {

// What the volume that holds the open file `file`, in `folder`, does with an overwrite, and what the file's
// `attributes` say of how it is stored. Windows only.
DriveFacts driveFactsOf(HANDLE file, const std::filesystem::path& folder, DWORD attributes);

// True when the program runs under Wine, whose drives are Unix folders that Windows's file system names only
// pretend to describe.
bool runsUnderWine();

} // namespace ferrowyn
