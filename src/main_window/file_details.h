#pragma once

#include "platform/core/chosen_file.h"

#include <QString>
#include <chrono>

namespace ferrowyn {

// The details label's text for a chosen file: its path, the time it was last modified and its length, on lines
// joined with CR LF and parted by empty lines.
QString fileDetails(const ChosenFile& file);

// A moment as the user's locale writes a short date and a time with seconds: "3/4/21 5:06:07 PM".
QString localDateTimeText(FileTime moment);

} // namespace ferrowyn
