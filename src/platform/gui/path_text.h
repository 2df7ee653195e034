#pragma once

#include <QString>
#include <filesystem>

namespace ferrowyn {

// The one place where a path becomes text, to be shown; a path is never made back from it.
QString shownText(const std::filesystem::path& path);

// `text` with places to break a line inside long runs without spaces (a path, a long name), so that a label or a
// box wraps it instead of cutting it at its edge. Only for what is painted: the text itself stays as it was.
QString breakable(const QString& text);

} // namespace ferrowyn
