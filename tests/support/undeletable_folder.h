#pragma once

#include <fcntl.h>
#include <filesystem>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace ferrowyn::test {

// Makes a folder refuse deletions for as long as it lives: immutable when we are root (permissions do not bind
// root), else without write permission. locked() is false where the file system cannot do it.
class UndeletableFolder {
public:
    explicit UndeletableFolder(std::filesystem::path folder) : m_folder(std::move(folder)) {
        m_locked = ::geteuid() == 0 ? setImmutable(true) : setWritable(false);
    }
    ~UndeletableFolder() { unlock(); }
    UndeletableFolder(const UndeletableFolder&) = delete;
    UndeletableFolder& operator=(const UndeletableFolder&) = delete;

    bool locked() const { return m_locked; }
    void unlock() {
        if (m_locked) {
            ::geteuid() == 0 ? setImmutable(false) : setWritable(true);
            m_locked = false;
        }
    }

private:
    bool setWritable(bool writable) {
        std::error_code error;
        std::filesystem::permissions(
            m_folder, std::filesystem::perms::owner_write,
            writable ? std::filesystem::perm_options::add : std::filesystem::perm_options::remove, error);
        return !error;
    }
    bool setImmutable(bool on) {
        const int fd = ::open(m_folder.c_str(), O_RDONLY | O_DIRECTORY);
        int flags = 0;
        bool done = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        if (fd >= 0) {
            ::close(fd);
        }
        return done;
    }

    std::filesystem::path m_folder;
    bool m_locked = false;
};

} // namespace ferrowyn::test
