#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace ferrowyn {

// One line of the kernel's table of this process's mounts. Linux only.
struct Mount {
    std::uint64_t id = 0;
    std::string device;               // the file system's own device, "0:45", as the kernel's other tables give it
    std::filesystem::path mountPoint; // as bytes, with the table's octal escapes ("\040") decoded
    std::string type;                 // "ext4", "fuse.sshfs"
    std::string source;               // "/dev/sda1", "server:/export"
    std::string options;              // the file system's own options, still escaped: "rw,data=ordered"
};

// The mounts in /proc/self/mountinfo, in its order; empty when it cannot be read.
std::vector<Mount> readMountTable();

// The mount whose id is `id` (statx's STATX_MNT_ID), or an empty one.
Mount mountWithId(std::uint64_t id);

// A field of the table as it reads: the octal escapes ("\040" for a space) decoded.
std::string decodedField(const std::string& field);

// The mounts as the text of a mountinfo table gives them.
std::vector<Mount> parseMountTable(const std::string& table);

} // namespace ferrowyn
