#include "platform/core/file_error.h"
#include "platform/core/path_display.h"

namespace ferrowyn {
namespace {

std::string describe(const std::string& action, const std::filesystem::path& path, const std::string& reason) {
    std::string text = action;
    if (const auto at = text.find("%1"); at != std::string::npos) {
        text.replace(at, 2, displayText(path));
    }
    return text + ": " + reason;
}

} // namespace

FileError::FileError(const std::string& action, const std::filesystem::path& path, const std::string& reason)
    : std::runtime_error(describe(action, path, reason)), m_reason(reason) {}

} // namespace ferrowyn
