#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace ferrowyn {

// Another program that has the chosen file open, as the system lets this process see it. Ferrowyn's own process
// is never one; a program the system hides is not guessed at.
struct FileHolder {
    std::int64_t process = 0; // its process id
    std::string program;      // its name, as displayText shows names ("gedit"); empty where it cannot be read
    bool locks = false;       // it holds a lock on the file (flock, a record lock)
    bool leases = false;      // it holds a lease on it, which our open for writing breaks

    friend bool operator==(const FileHolder&, const FileHolder&) = default;
};

// Windows's answer to RmGetList as its bytes: RM_PROCESS_INFO records of kProcessInfoSize bytes each, the
// program's id at 0, its name at 12 and its service's short name at 524, in UTF-16 ending with a zero. Each
// process is one holder, named by its program's name or else its service's; `ownProcess` is left out. On every
// system, so that the reading can be tested anywhere.
inline constexpr std::size_t kProcessInfoSize = 668;
std::vector<FileHolder> holdersFromProcessList(std::span<const std::byte> list, std::uint32_t ownProcess);

} // namespace ferrowyn
