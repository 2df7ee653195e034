#pragma once

#include <QString>
#include <chrono>

namespace ferrowyn {

// The details label's text for one file: its path, the time it was last modified and its length, on lines
// joined with CR LF and parted by empty lines. Queried by name now; raises FileError when the file is gone.
QString fileDetails(const QString& path);

// A moment as the user's locale writes a short date and a time with seconds: "3/4/21 5:06:07 PM".
QString localDateTimeText(std::chrono::system_clock::time_point moment);

} // namespace ferrowyn
