#pragma once

#include <QString>
#include <filesystem>
#include <string>
#include <string_view>

namespace ferrowyn {

// The one place where a path becomes text, to be shown; a path is never made back from it.
QString shownText(const std::filesystem::path& path);
// The shown text of `name`, one name without its folder part, added at the end of `texts`: the same text, without
// the cost of a path for a name that shows as it is, as most do.
void appendShownText(std::basic_string_view<std::filesystem::path::value_type> name, std::u16string& texts);

// `text` with places to break a line inside long runs without spaces (a path, a long name), so that a label or a
// box wraps it instead of cutting it at its edge. Only for what is painted: the text itself stays as it was.
QString breakable(const QString& text);

} // namespace ferrowyn
