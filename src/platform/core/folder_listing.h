#pragma once

#include <filesystem>
#include <vector>

namespace ferrowyn {

enum class EntryKind {
    RegularFile, // regular files only: no folders, links, devices, pipes or sockets
    Folder,      // folders, and links that lead to one
};

// The names (no folder part) of the entries of `folder` of the given kind, in no particular order. Hidden and
// system files are left out; hidden folders are listed, so that a user's private folders (~/.ssh) can be
// reached. Raises FileError when the folder cannot be read.
std::vector<std::filesystem::path> listFolder(const std::filesystem::path& folder, EntryKind kind);

// True when `folder` is a folder that can be listed now.
bool canListFolder(const std::filesystem::path& folder);

} // namespace ferrowyn
