#pragma once

#include <QString>
#include <filesystem>
#include <vector>

namespace ferrowyn {

// A name from the file system beside the text that shows it.
struct ShownName {
    QString text;
    std::filesystem::path name;
};

// Names as the lists show them: sorted by their text without regard to case (ties in a fixed order). Two names
// that read alike stay two entries, each with its own name.
std::vector<ShownName> sortedForShowing(std::vector<std::filesystem::path> names);

} // namespace ferrowyn
