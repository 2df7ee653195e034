#pragma once

#include <filesystem>
#include <string>

namespace ferrowyn {

// A path or name as a person reads it, in UTF-8, written so that two different names never read the same: a
// byte that is not part of a UTF-8 character (Linux) and a lone half of a UTF-16 pair (Windows) as \xNN and
// \uNNNN; control characters (tab, line breaks), characters that turn the text's direction and other invisible
// ones as \uNNNN; and on Linux, where a name may hold one, a backslash as \\. Only for showing: a path is never
// rebuilt from this text.
std::string displayText(const std::filesystem::path& path);

// Appends one character as displayText shows it. For the two systems' own halves of displayText.
void appendShown(std::string& shown, char32_t character);

} // namespace ferrowyn
