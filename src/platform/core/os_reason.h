#pragma once

#include <string>

namespace ferrowyn {

// The OS's readable text for an error number (errno on POSIX, GetLastError() on Windows), in UTF-8.
std::string osReason(int errorNumber);

} // namespace ferrowyn
