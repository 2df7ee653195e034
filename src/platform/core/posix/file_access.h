#pragma once

#include "platform/core/chosen_file.h"

#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace ferrowyn {

// The file services' own ways into files and folders, shared by the choice, the channel and the listings. Linux
// only.

// A file descriptor that is closed when it goes out of scope.
class Descriptor {
public:
    Descriptor() = default;
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() { reset(); }
    Descriptor(Descriptor&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    Descriptor& operator=(Descriptor&& other) noexcept {
        reset(std::exchange(other.m_fd, -1));
        return *this;
    }

    bool valid() const { return m_fd >= 0; }
    int get() const { return m_fd; }
    int release() { return std::exchange(m_fd, -1); }
    void reset(int fd = -1) {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
        m_fd = fd;
    }

private:
    int m_fd = -1;
};

// A folder opened to reach its entries: readable where we may read it (so that it can be flushed), else only as a
// place. Invalid, with errno set, when it cannot be opened.
Descriptor openFolder(const std::filesystem::path& folder);

// Opens the entry `name` of the folder for reading, without following a link and without waiting for another
// program's lease. Invalid, with errno set, when it cannot be opened.
Descriptor openEntryForReading(int folderFd, const std::filesystem::path& name);

// The identity and details of an open file or folder; false with errno set when they cannot be read.
bool readIdentity(int fd, FileIdentity& identity, struct statx& details);

// The identity and details of the entry `name` of the open folder, looked at without opening it (a link, a device,
// a file we may not read): its file system is taken as its folder's, and its generation is not known.
bool readIdentityOfEntry(int folderFd, const std::filesystem::path& name, std::uint64_t fileSystem,
                         FileIdentity& identity, struct statx& details);

// A time as statx gives it. Both the choice and the overwrite read a file's times through this one function, so
// that the same time always compares equal.
FileTime fileTimeOf(const struct statx_timestamp& time);

} // namespace ferrowyn
