#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace ferrowyn {

// Strings kept end to end in one block of memory, each found by where it ends: a folder's 200,000 names cost
// little more than their own characters.
template <typename Unit> class PackedStrings {
public:
    using View = std::basic_string_view<Unit>;

    std::size_t size() const { return m_ends.size(); }
    // All the strings' units together.
    std::size_t units() const { return m_units.size(); }
    View operator[](std::size_t index) const {
        const std::size_t start = index == 0 ? 0 : m_ends[index - 1];
        return View(m_units).substr(start, m_ends.at(index) - start);
    }
    void add(View text) {
        m_units.append(text);
        m_ends.push_back(m_units.size());
    }
    void reserve(std::size_t count, std::size_t units) {
        m_ends.reserve(count);
        m_units.reserve(units);
    }

private:
    std::basic_string<Unit> m_units;
    std::vector<std::size_t> m_ends;
};

// Names of entries in a folder, without the folder part, as the file system has them.
using NameList = PackedStrings<std::filesystem::path::value_type>;

// The entries of one folder, read at one moment: its regular files (no folders, links, devices, pipes or sockets)
// and its folders (links that lead to one included), each in no particular order. Hidden and system files are
// left out; hidden folders are listed, so that a user's private folders (~/.ssh) can be reached.
struct FolderListing {
    NameList files;
    NameList folders;
};

// Reads `folder` once for both kinds of entry. Raises FileError when the folder cannot be read.
FolderListing listFolder(const std::filesystem::path& folder);

// True when `folder` is a folder that can be listed now.
bool canListFolder(const std::filesystem::path& folder);

} // namespace ferrowyn
