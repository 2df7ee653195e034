#pragma once

#include "platform/core/os_reason.h"

#include <filesystem>
#include <stdexcept>
#include <string>

namespace ferrowyn {

// The one exception the file services raise. Its message names what failed, on which path, and the OS's
// reason, so that it can be shown to a user as it stands: "Cannot open /home/ann/a.txt for writing: Permission
// denied".
class FileError : public std::runtime_error {
public:
    // `action` holds "%1" where the path belongs, for instance "Cannot open %1 for writing".
    FileError(const std::string& action, const std::filesystem::path& path, const std::string& reason);

    const std::string& reason() const noexcept { return m_reason; }

private:
    std::string m_reason;
};

} // namespace ferrowyn
