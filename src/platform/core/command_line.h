#pragma once

#include <filesystem>
#include <vector>

namespace ferrowyn {

// Every argument the program was started with, its own name first, as the system gave them: bytes on Linux (argv
// itself), UTF-16 on Windows (read from the system, of which the narrow argv is a lossy copy).
std::vector<std::filesystem::path> systemArguments(int argc, char** argv);

} // namespace ferrowyn
