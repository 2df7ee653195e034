#pragma once

#include "platform/core/storage.h"

#include <windows.h>

namespace ferrowyn {

// Reading the storage under a file on Windows.

// The storage under an open file: a leaf is Unknown where it cannot be read, and there are none where nothing
// can. Needs no special rights and never fails.
StorageFacts storageUnder(HANDLE file);

} // namespace ferrowyn
