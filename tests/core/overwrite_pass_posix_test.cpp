#include "obliteration/overwrite_pass.h"
#include "platform/file_error.h"
#include "test_support.h"
#include "undeletable_folder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace ferrowyn {
namespace {

using test::Recorder;
using test::TempFolder;
using Texts = std::vector<std::string>;

TEST(OverwritePassPosix, refusesLinksPipesAndSocketsWithoutTouchingWhatTheyLeadTo) {
    TempFolder folder;
    test::writeFile(folder / "target.txt", 100);
    const auto original = test::readFile(folder / "target.txt");
    std::filesystem::create_symlink(folder / "target.txt", folder / "link");
    std::filesystem::create_symlink(folder / "nowhere.txt", folder / "dangling");
    ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0666), 0);
    const int socketFd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    (folder / "socket").string().copy(address.sun_path, sizeof(address.sun_path) - 1);
    ASSERT_EQ(::bind(socketFd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);

    EXPECT_EQ(test::refusalOfPass(folder / "link"), "it is a symbolic link");
    EXPECT_EQ(test::refusalOfPass(folder / "dangling"), "it is a symbolic link");
    EXPECT_EQ(test::refusalOfPass(folder / "fifo"), "it is not a regular file");
    EXPECT_EQ(test::refusalOfPass(folder / "socket"), "it is not a regular file");
    ::close(socketFd);
    EXPECT_EQ(test::readFile(folder / "target.txt"), original);
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "link"));
    EXPECT_FALSE(std::filesystem::exists(folder / "nowhere.txt"));
}

// In a child process whose files may not grow past two blocks, the third block fails.
TEST(OverwritePassPosix, stopsAtAFailedWriteWithTheFileOverwrittenUpToTheLastGoodBlock) {
    TempFolder folder;
    const auto path = folder / "victim.bin";
    test::writeFile(path, 102400);
    const auto original = test::readFile(path);

    const pid_t child = ::fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{2 * kBlockSize, 2 * kBlockSize};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) {
            ::_exit(10);
        }
        FileChannel channel;
        Recorder recorder;
        try {
            overwritePass(path, channel, recorder.sink());
        } catch (const FileError&) {
            const bool asExpected = channel.isOpen() && recorder.texts == Texts{"0%", "32%"};
            ::_exit(asExpected ? 0 : 11);
        }
        ::_exit(12);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_NE(WEXITSTATUS(status), 10) << "cannot limit the file size here";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "11: channel closed or wrong progress, 12: no failure";

    const auto after = test::readFile(path);
    ASSERT_EQ(after.size(), original.size());
    EXPECT_TRUE(test::isAllSpaces(after.substr(0, 2 * kBlockSize)));
    EXPECT_EQ(after.substr(2 * kBlockSize), original.substr(2 * kBlockSize));
}

TEST(OverwritePassPosix, aRefusedDeleteLeavesTheFullyOverwrittenFile) {
    TempFolder folder;
    const auto path = folder / "victim.bin";
    test::writeFile(path, 102400);
    test::UndeletableFolder lock(folder.path());
    if (!lock.locked()) {
        GTEST_SKIP() << "this file system cannot make a folder refuse deletions";
    }
    FileChannel channel;
    Recorder recorder;
    EXPECT_THROW(overwritePass(path, channel, recorder.sink()), FileError);
    EXPECT_EQ(recorder.texts, (Texts{"0%", "32%", "64%", "75%"}));
    const auto after = test::readFile(path);
    EXPECT_EQ(after.size(), 4u * kBlockSize);
    EXPECT_TRUE(test::isAllSpaces(after));
}

} // namespace
} // namespace ferrowyn
