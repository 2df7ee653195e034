#include "platform/file_channel.h"
#include "platform/file_error.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace ferrowyn {
namespace {

using test::TempFolder;

std::string errorOpening(const std::filesystem::path& path) {
    FileChannel channel;
    try {
        channel.open(path);
    } catch (const FileError& error) {
        EXPECT_FALSE(channel.isOpen());
        return error.what();
    }
    return "opened";
}

TEST(FileChannelPosix, refusesLinksPipesAndSocketsWithoutTouchingWhatTheyLeadTo) {
    TempFolder folder;
    test::writeFile(folder / "target.txt", 100);
    const auto target = test::readFile(folder / "target.txt");
    std::filesystem::create_symlink(folder / "target.txt", folder / "link");
    std::filesystem::create_symlink(folder / "nowhere.txt", folder / "dangling");
    ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0666), 0);
    const int socketFd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    (folder / "socket").string().copy(address.sun_path, sizeof(address.sun_path) - 1);
    ASSERT_EQ(::bind(socketFd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);

    const std::pair<const char*, const char*> cases[] = {
        {"link", "it is a symbolic link"},
        {"dangling", "it is a symbolic link"},
        {"fifo", "it is not a regular file"},
        {"socket", "it is not a regular file"},
    };
    for (const auto& [name, reason] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(errorOpening(folder / name),
                  "Cannot open " + (folder / name).string() + " for writing: " + reason);
    }
    ::close(socketFd);
    EXPECT_EQ(test::readFile(folder / "target.txt"), target);
    EXPECT_FALSE(std::filesystem::exists(folder / "nowhere.txt"));
}

TEST(FileChannelPosix, theOsReasonIsTheSystemsOwnText) {
    TempFolder folder;
    const auto missing = folder / "no-folder" / "a.txt";
    EXPECT_EQ(errorOpening(missing),
              "Cannot open " + missing.string() + " for writing: No such file or directory");
}

} // namespace
} // namespace ferrowyn
