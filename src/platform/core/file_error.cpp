#include "platform/core/file_error.h"

namespace ferrowyn {
namespace {

std::string describe(const std::string& action, const std::filesystem::path& path, const std::string& reason) {
    std::string text = action;
    if (const auto at = text.find("%1"); at != std::string::npos) {
        const std::u8string utf8 = path.u8string();
        text.replace(at, 2, std::string(utf8.begin(), utf8.end()));
    }
    return text + ": " + reason;
}

} // namespace

FileError::FileError(const std::string& action, const std::filesystem::path& path, const std::string& reason)
    : std::runtime_error(describe(action, path, reason)), m_path(path), m_reason(reason) {}

} // namespace ferrowyn
