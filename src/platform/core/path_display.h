#pragma once

#include <filesystem>
#include <string>

namespace ferrowyn {

// A path or name as a person reads it, in UTF-8. On Linux a name is bytes and need not be UTF-8: each byte that
// is not part of a UTF-8 character is written as \xNN, so that "a\xFF" and "a\xEF\xBF\xBD" ("a" and U+FFFD) read
// differently. Only for showing: a path is never rebuilt from this text.
std::string displayText(const std::filesystem::path& path);

} // namespace ferrowyn
