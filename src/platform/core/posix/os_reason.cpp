#include "platform/core/os_reason.h"

#include <system_error>

namespace ferrowyn {

std::string osReason(int errorNumber) {
    return std::system_category().message(errorNumber);
}

} // namespace ferrowyn
