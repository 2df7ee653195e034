#pragma once

#include <QStringList>
#include <filesystem>
#include <vector>

namespace ferrowyn {

// Names from the file system as the lists show them: sorted without regard to case (ties in a fixed order).
QStringList sortedNames(const std::vector<std::filesystem::path>& names);

} // namespace ferrowyn
