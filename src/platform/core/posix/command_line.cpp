#include "platform/core/command_line.h"

namespace ferrowyn {

std::vector<std::filesystem::path> systemArguments(int argc, char** argv) {
    return {argv, argv + argc};
}

} // namespace ferrowyn
