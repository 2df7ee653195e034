#pragma once

#include <QUrl>
#include <filesystem>
#include <vector>

namespace ferrowyn {

// The files the program was started with ("ferrowyn [--] FILE..."), relative ones taken against the working
// folder, in the order given. Each argument is a path as the system passed it: bytes on Linux, UTF-16 on
// Windows; none is ever quoted or split again.
std::vector<std::filesystem::path> givenFiles(const std::vector<std::filesystem::path>& arguments);

// The program's own arguments, as the system gave them, without the program's name and Qt's own options.
std::vector<std::filesystem::path> commandLineArguments(int argc, char** argv);

// The local files dropped on the window, as their exact paths; an address that is not a local file is left out.
std::vector<std::filesystem::path> droppedFiles(const QList<QUrl>& urls);

} // namespace ferrowyn
