#include "platform/core/command_line.h"

#include <windows.h>

#include <shellapi.h>

namespace ferrowyn {

std::vector<std::filesystem::path> systemArguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) {
        return {argv, argv + argc};
    }
    std::vector<std::filesystem::path> arguments(wide, wide + count);
    LocalFree(wide);
    return arguments;
}

} // namespace ferrowyn
