#pragma once

#include <cstdint>
#include <string_view>

namespace ferrowyn {

// The kernel's own file systems, by the name the mount table gives them and the magic number statfs gives: their
// files are views of its state and its settings, not data on a device, and their mounts are no volume of the
// user's. Linux only.
struct KernelFileSystem {
    std::string_view name;
    std::uint32_t magic; // 0 where statfs tells it by no number of its own
};

inline constexpr KernelFileSystem kKernelFileSystems[] = {
    {"proc", 0x9fa0},
    {"sysfs", 0x62656572},
    {"debugfs", 0x64626720},
    {"tracefs", 0x74726163},
    {"securityfs", 0x73636673},
    {"cgroup", 0x27e0eb},
    {"cgroup2", 0x63677270},
    {"configfs", 0x62656570},
    {"devpts", 0x1cd1},
    {"efivarfs", 0xde5e81e4},
    {"bpf", 0xcafe4a11},
    {"pstore", 0x6165676c},
    {"selinuxfs", 0xf97cff8c},
    {"smackfs", 0x43415d53},
    {"fusectl", 0x65735543},
    {"binfmt_misc", 0x42494e4d},
    {"hugetlbfs", 0x958458f6},
    {"nsfs", 0x6e736673},
    {"mqueue", 0x19800202},
    {"devtmpfs", 0},
    {"autofs", 0},
    {"rpc_pipefs", 0},
};

} // namespace ferrowyn
