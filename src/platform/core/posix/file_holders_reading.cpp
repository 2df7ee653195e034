#include "platform/core/posix/file_holders_reading.h"
#include "platform/core/path_display.h"
#include "platform/core/posix/file_access.h"
#include "platform/core/posix/mount_table.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <dirent.h>
#include <map>
#include <optional>
#include <string_view>
#include <sys/ioctl.h>
#include <sys/stat.h>

namespace ferrowyn {
namespace {

// The file, as stat gives it and as the kernel's tables name it: its inode, and its device in both forms, which
// differ for a btrfs subvolume (stat gives the subvolume's, the tables the file system's own).
struct Target {
    unsigned statMajor = 0;
    unsigned statMinor = 0;
    std::vector<std::pair<unsigned, unsigned>> devices;
    std::uint64_t inode = 0;
};

struct Hold {
    bool has = false;
    bool locks = false;
    bool leases = false;
};

template <typename Number> bool parse(std::string_view text, Number& value, int base = 10) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

// The first `N` fields of a line, separated by blanks; empty views past its end.
template <std::size_t N> std::array<std::string_view, N> fieldsOf(std::string_view line) {
    std::array<std::string_view, N> fields{};
    for (std::size_t i = 0, at = 0; i < N; ++i) {
        at = line.find_first_not_of(" \t", at);
        if (at == std::string_view::npos) {
            break;
        }
        const std::size_t end = std::min(line.find_first_of(" \t", at), line.size());
        fields[i] = line.substr(at, end - at);
        at = end;
    }
    return fields;
}

bool isTargetDevice(unsigned major, unsigned minor, const Target& target) {
    return std::find(target.devices.begin(), target.devices.end(), std::pair{major, minor}) !=
           target.devices.end();
}

// Whether `device` ("fd:01", in hex as the kernel's tables write it) and `inode` are the file's.
bool isTarget(std::string_view device, std::string_view inode, const Target& target) {
    const std::size_t colon = device.find(':');
    unsigned major = 0;
    unsigned minor = 0;
    std::uint64_t number = 0;
    return colon != std::string_view::npos && parse(inode, number) && number == target.inode &&
           parse(device.substr(0, colon), major, 16) && parse(device.substr(colon + 1), minor, 16) &&
           isTargetDevice(major, minor, target);
}

// Reads the open file `file` whole into `buffer`, which keeps its room from one call to the next; nothing where it
// cannot be read.
std::optional<std::string_view> readWhole(const Descriptor& file, std::vector<char>& buffer) {
    if (!file.valid()) {
        return std::nullopt;
    }
    buffer.resize(std::max<std::size_t>(buffer.size(), 65536));
    for (std::size_t size = 0;;) {
        if (size == buffer.size()) {
            buffer.resize(2 * size);
        }
        const ssize_t got = ::read(file.get(), buffer.data() + size, buffer.size() - size);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return got == 0 ? std::optional(std::string_view(buffer.data(), size)) : std::nullopt;
        }
        size += static_cast<std::size_t>(got);
    }
}

Descriptor openIn(int folderFd, const char* name) {
    return Descriptor(::openat(folderFd, name, O_RDONLY | O_CLOEXEC | O_NOCTTY));
}

// The processes that /proc/locks says hold a lock or a lease on the file: "1: FLOCK ADVISORY WRITE 1234
// fd:01:5678 0 EOF". A process waiting for one ("1: -> FLOCK ...") holds none, and a lock of an open file
// (OFDLCK) names no process (-1).
std::map<pid_t, Hold> lockersIn(std::string_view table, const Target& target) {
    std::map<pid_t, Hold> lockers;
    for (std::size_t at = 0; at < table.size();) {
        const std::size_t end = std::min(table.find('\n', at), table.size());
        const auto fields = fieldsOf<6>(table.substr(at, end - at));
        at = end + 1;
        const std::size_t inodeColon = fields[5].rfind(':');
        pid_t process = 0;
        if (fields[1] == "->" || inodeColon == std::string_view::npos || !parse(fields[4], process) ||
            process <= 0 || !isTarget(fields[5].substr(0, inodeColon), fields[5].substr(inodeColon + 1), target)) {
            continue;
        }
        Hold& hold = lockers[process];
        hold.has = true;
        (fields[1] == "LEASE" || fields[1] == "DELEG" ? hold.leases : hold.locks) = true;
    }
    return lockers;
}

// Whether one of the process's descriptors leads to the file, and whether one holds a lock or a lease on it (its
// fdinfo lists those it holds); nothing where the process's descriptors cannot be read (another user's). The
// kernel's cached details serve: a file system whose server does not answer must not hold the pass up.
std::optional<Hold> heldThroughDescriptors(int processFd, const Target& target, std::vector<char>& buffer) {
    const int fds = ::openat(processFd, "fd", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* listing = fds >= 0 ? ::fdopendir(fds) : nullptr;
    if (listing == nullptr) {
        if (fds >= 0) {
            ::close(fds);
        }
        return std::nullopt;
    }
    Hold hold;
    while (const dirent* entry = ::readdir(listing)) {
        struct statx details {};
        if (entry->d_name[0] == '.' || ::statx(fds, entry->d_name, AT_STATX_DONT_SYNC, STATX_INO, &details) != 0 ||
            details.stx_ino != target.inode || details.stx_dev_major != target.statMajor ||
            details.stx_dev_minor != target.statMinor) {
            continue;
        }
        hold.has = true;
        const auto info = readWhole(openIn(processFd, ("fdinfo/" + std::string(entry->d_name)).c_str()), buffer);
        for (std::size_t at = info ? info->find("\nlock:") : std::string_view::npos; at != std::string_view::npos;
             at = info->find("\nlock:", at + 1)) {
            const auto fields = fieldsOf<3>(info->substr(at + 1, info->find('\n', at + 1) - at - 1));
            (fields[2] == "LEASE" || fields[2] == "DELEG" ? hold.leases : hold.locks) = true;
        }
    }
    ::closedir(listing);
    return hold;
}

// The kernel's query of a process's maps (Linux 6.11), laid out as its header gives it: only the maps that match
// the flags asked for, without their names, which are what makes reading the maps slow.
struct MapQuery {
    std::uint64_t size = sizeof(MapQuery);
    std::uint64_t flags = 0;
    std::uint64_t address = 0;
    std::uint64_t start = 0;
    std::uint64_t end = 0;
    std::uint64_t mapFlags = 0;
    std::uint64_t pageSize = 0;
    std::uint64_t offset = 0;
    std::uint64_t inode = 0;
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    std::uint32_t nameSize = 0;
    std::uint32_t buildIdSize = 0;
    std::uint64_t nameAddress = 0;
    std::uint64_t buildIdAddress = 0;
};
constexpr unsigned long kQueryMaps = _IOWR('f', 17, MapQuery);
constexpr std::uint64_t kSharedFileMapAtOrAfter = 0x08 | 0x10 | 0x20;

// Whether the process has the file mapped into its memory where what it writes there reaches the file (a shared
// map): a program may map a file and close it. The kernel is asked for its shared maps of files alone where it
// can be; else its maps are read: "start-end rw-s offset fd:01 5678 path".
bool mapsTarget(int processFd, const Target& target, std::vector<char>& buffer) {
    const Descriptor file = openIn(processFd, "maps");
    MapQuery query;
    for (query.flags = kSharedFileMapAtOrAfter; file.valid() && ::ioctl(file.get(), kQueryMaps, &query) == 0;
         query.address = query.end) {
        if (query.inode == target.inode && isTargetDevice(query.major, query.minor, target)) {
            return true;
        }
    }
    if (errno == ENOENT) {
        return false; // no map after the last one
    }
    const auto maps = readWhole(file, buffer);
    const std::string inode = " " + std::to_string(target.inode) + " ";
    for (std::size_t at = maps ? maps->find(inode) : std::string_view::npos; at != std::string_view::npos;
         at = maps->find(inode, at + 1)) {
        const std::size_t start = maps->rfind('\n', at);
        const std::size_t from = start == std::string_view::npos ? 0 : start + 1;
        const auto fields = fieldsOf<5>(maps->substr(from, at + inode.size() - from));
        if (fields[1].size() == 4 && fields[1][3] == 's' && isTarget(fields[3], fields[4], target)) {
            return true;
        }
    }
    return false;
}

// What the kernel tells at once of the others that have the open file `fd`. It grants a write lease only while
// nobody else has the file open or mapped (nor we ourselves by another descriptor), and a read lease only while
// nobody has it open for writing, as a shared map that can write to it has. A lease granted is let go at once: a
// program that opens the file in that moment waits that long, and the signal its open sends us is one that
// nothing heeds. Unknown where the kernel grants no lease to us (a file we do not own, a network drive).
enum class Others { None, NoWriters, Writers, Unknown };
Others othersAtOnce(int fd) {
    const auto granted = [fd](int lease) {
        const bool held = ::fcntl(fd, F_SETLEASE, lease) == 0;
        if (held) {
            ::fcntl(fd, F_SETLEASE, F_UNLCK);
        }
        return held;
    };
    if (::fcntl(fd, F_SETSIG, SIGURG) != 0) {
        return Others::Unknown;
    }
    if (granted(F_WRLCK)) {
        return Others::None;
    }
    if (errno != EAGAIN) {
        return Others::Unknown;
    }
    return granted(F_RDLCK) ? Others::NoWriters : Others::Writers;
}

// The program's name. The kernel keeps only its first 15 bytes; where it may have cut it, the program's first
// argument gives it whole ("gnome-text-editor" for "gnome-text-edit").
std::string programName(int processFd, std::vector<char>& buffer) {
    const auto comm = readWhole(openIn(processFd, "comm"), buffer);
    if (!comm) {
        return {};
    }
    std::string name(comm->substr(0, comm->find('\n')));
    if (const auto arguments =
            name.size() == 15 ? readWhole(openIn(processFd, "cmdline"), buffer) : std::nullopt) {
        std::string_view first = arguments->substr(0, arguments->find('\0'));
        first.remove_prefix(first.rfind('/') + 1); // npos + 1 is 0
        if (first.starts_with(name)) {
            name = first;
        }
    }
    return name.empty() ? name : displayText(name);
}

} // namespace

std::vector<FileHolder> holdersOf(int fd) {
    struct statx details {};
    if (::statx(fd, "", AT_EMPTY_PATH | AT_STATX_DONT_SYNC, STATX_INO | STATX_MNT_ID, &details) != 0) {
        return {};
    }
    const Others others = othersAtOnce(fd);
    if (others == Others::None) {
        return {};
    }
    Target target{details.stx_dev_major,
                  details.stx_dev_minor,
                  {{details.stx_dev_major, details.stx_dev_minor}},
                  details.stx_ino};
    const std::string device =
        (details.stx_mask & STATX_MNT_ID) != 0 ? mountWithId(details.stx_mnt_id).device : "";
    unsigned major = 0;
    unsigned minor = 0;
    if (const std::size_t colon = device.find(':'); colon != std::string::npos &&
                                                    parse(std::string_view(device).substr(0, colon), major) &&
                                                    parse(std::string_view(device).substr(colon + 1), minor)) {
        target.devices.emplace_back(major, minor);
    }
    const Descriptor proc(::open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    const int listing = proc.valid() ? ::openat(proc.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1;
    DIR* processes = listing >= 0 ? ::fdopendir(listing) : nullptr;
    if (processes == nullptr) {
        if (listing >= 0) {
            ::close(listing);
        }
        return {};
    }
    std::vector<char> buffer;
    const auto table = readWhole(openIn(proc.get(), "locks"), buffer);
    const auto lockers = table ? lockersIn(*table, target) : std::map<pid_t, Hold>();
    const pid_t self = ::getpid();
    std::vector<FileHolder> holders;
    while (const dirent* entry = ::readdir(processes)) {
        pid_t process = 0;
        if (!parse(std::string_view(entry->d_name), process) || process == self) {
            continue;
        }
        const Descriptor folder(::openat(proc.get(), entry->d_name, O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (!folder.valid()) {
            continue; // gone since it was listed
        }
        // What the process's own descriptors say where they can be read; else only what /proc/locks says.
        auto hold = heldThroughDescriptors(folder.get(), target, buffer);
        if (hold && !hold->has && others != Others::NoWriters) {
            hold->has = mapsTarget(folder.get(), target, buffer);
        }
        if (!hold) {
            const auto locker = lockers.find(process);
            hold = locker != lockers.end() ? std::optional(locker->second) : std::nullopt;
        }
        if (hold && hold->has) {
            holders.push_back({process, programName(folder.get(), buffer), hold->locks, hold->leases});
        }
    }
    ::closedir(processes);
    std::sort(holders.begin(), holders.end(),
              [](const FileHolder& a, const FileHolder& b) { return a.process < b.process; });
    return holders;
}

} // namespace ferrowyn
