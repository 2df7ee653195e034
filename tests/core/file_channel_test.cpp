#include "platform/file_channel.h"
#include "platform/file_error.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <string_view>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace ferrowyn {
namespace {

using test::TempFolder;

std::span<const std::byte> bytesOf(std::string_view text) {
    return std::as_bytes(std::span(text.data(), text.size()));
}

std::string errorOpening(const std::filesystem::path& path, FileChannel& channel) {
    try {
        channel.open(path);
    } catch (const FileError& error) {
        return error.what();
    }
    return "opened";
}

TEST(FileChannel, createsAMissingFileEmptyAndWritesPastItsEndWith64BitOffsets) {
    TempFolder folder;
    const auto path = folder / "new.bin";
    FileChannel channel;
    channel.open(path);
    ASSERT_TRUE(channel.isOpen());
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(channel.length(), 0);

    // Beyond 4 GiB, where a 32-bit offset or length would wrap; the gap stays sparse on disk.
    constexpr std::int64_t far = (std::int64_t{1} << 32) + 5;
    channel.writeAt(far, bytesOf("end"));
    channel.writeAt(0, bytesOf("start"));
    EXPECT_EQ(channel.length(), far + 3);
    channel.close();
    EXPECT_FALSE(channel.isOpen());
    EXPECT_EQ(std::filesystem::file_size(path), static_cast<std::uintmax_t>(far + 3));
    EXPECT_NO_THROW(channel.close()); // a second close does nothing
}

TEST(FileChannel, refusesAnythingButAWritableRegularFileAndLeavesItUntouched) {
    TempFolder folder;
    test::writeFile(folder / "target.txt", 100);
    const auto target = test::readFile(folder / "target.txt");
    std::filesystem::create_symlink(folder / "target.txt", folder / "link");
    std::filesystem::create_symlink(folder / "nowhere.txt", folder / "dangling");
    std::filesystem::create_directory(folder / "sub");
    ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0666), 0);
    test::writeFile(folder / "readonly.txt", 100);
    std::filesystem::permissions(folder / "readonly.txt", std::filesystem::perms::owner_read |
                                                              std::filesystem::perms::group_read |
                                                              std::filesystem::perms::others_read);
    const int socketFd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const auto socketPath = (folder / "socket").string();
    socketPath.copy(address.sun_path, sizeof(address.sun_path) - 1);
    ASSERT_EQ(::bind(socketFd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);

    const std::pair<const char*, const char*> cases[] = {
        {"link", "it is a symbolic link"},
        {"dangling", "it is a symbolic link"},
        {"sub", "it is a folder"},
        {"fifo", "it is not a regular file"},
        {"socket", "it is not a regular file"},
        {"readonly.txt", "the file is read-only"},
    };
    for (const auto& [name, reason] : cases) {
        SCOPED_TRACE(name);
        FileChannel channel;
        EXPECT_EQ(errorOpening(folder / name, channel),
                  "Cannot open " + (folder / name).string() + " for writing: " + reason);
        EXPECT_FALSE(channel.isOpen());
    }
    ::close(socketFd);
    EXPECT_EQ(test::readFile(folder / "target.txt"), target);
    EXPECT_EQ(test::readFile(folder / "readonly.txt"), target);
    EXPECT_FALSE(std::filesystem::exists(folder / "nowhere.txt"));
}

TEST(FileChannel, failuresNameTheActionThePathAndTheOsReason) {
    TempFolder folder;
    const auto missing = folder / "no-folder" / "a.txt";
    FileChannel channel;
    EXPECT_EQ(errorOpening(missing, channel),
              "Cannot open " + missing.string() + " for writing: No such file or directory");
    try {
        deleteFile(missing);
        ADD_FAILURE() << "deleting a missing file succeeded";
    } catch (const FileError& error) {
        EXPECT_STREQ(error.what(), ("Cannot delete " + missing.string() + ": No such file or directory").c_str());
        EXPECT_EQ(error.path(), missing);
    }
    EXPECT_THROW((void)channel.length(), FileError); // not open
}

} // namespace
} // namespace ferrowyn
