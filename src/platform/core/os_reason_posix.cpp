#include "platform/core/file_error.h"

#include <system_error>

namespace ferrowyn {

std::string osReason(int errorNumber) {
    return std::system_category().message(errorNumber);
}

} // namespace ferrowyn
