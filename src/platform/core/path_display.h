#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace ferrowyn {

// A path or name as a person reads it, in UTF-8, in one form from which the path could be read back, so that two
// different names never look alike. Escaped, as \xNN, \uNNNN or \UNNNNNNNN:
// - a byte that is not part of a UTF-8 character (Linux), a lone half of a UTF-16 pair (Windows);
// - control characters (tab, line breaks), characters that turn the text's direction, spaces other than the plain
//   one, and the other characters that show nothing;
// - a space at the start or the end of a name;
// - in a name that is not in Unicode's composed form (NFC), every combining mark and every character that form
//   would change, so that "café" typed composed and "café" typed as an e and an accent read differently; a
//   combining mark that would sit on an escape or a separator, in any name.
// A backslash in a name (Linux) is doubled, so that a single one always starts an escape; on Windows, where it
// separates names, a name after it that would read as an escape has its first letter escaped. Only for showing:
// a path is never rebuilt from this text.
std::string displayText(const std::filesystem::path& path);

// For the two systems' own halves of displayText: a path read as characters, with the units that are not part of
// one kept as they are.
struct PathUnit {
    enum Kind { Character, Byte, LoneHalf };
    char32_t value;
    Kind kind;
};
// UTF-16 text as characters, a lone half of a pair kept as it is.
std::vector<PathUnit> utf16Units(std::u16string_view text);
// `units` shown as displayText says; `windows` when the backslash separates names instead of being part of one.
std::string displayUnits(const std::vector<PathUnit>& units, bool windows);

} // namespace ferrowyn
