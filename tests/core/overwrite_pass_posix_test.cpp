#include "obliteration/overwrite_pass.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace ferrowyn {
namespace {

using test::TempFolder;
using Texts = std::vector<std::string>;

TEST(OverwritePassPosix, refusesLinksPipesLockedFilesAndTheKernelsFilesWithoutTouchingThem) {
    TempFolder folder;
    test::writeFile(folder / "target.txt", 100);
    const auto original = test::readFile(folder / "target.txt");
    std::filesystem::create_symlink(folder / "target.txt", folder / "link");
    std::filesystem::create_symlink(folder / "nowhere.txt", folder / "dangling");
    ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0666), 0);
    for (const char* name : {"flocked.txt", "record-locked.txt"}) {
        std::filesystem::copy_file(folder / "target.txt", folder / name);
    }
    // Another program's locks: a whole-file flock, and a POSIX record lock on one byte.
    const int flocked = ::open((folder / "flocked.txt").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(flocked, LOCK_SH), 0);
    const int recordLocked = ::open((folder / "record-locked.txt").c_str(), O_RDWR);
    struct flock oneByte = {F_WRLCK, SEEK_SET, 10, 1, 0};
    ASSERT_EQ(::fcntl(recordLocked, F_SETLK, &oneByte), 0);

    const std::pair<std::filesystem::path, const char*> cases[] = {
        {folder / "link", "it is a symbolic link"},
        {folder / "dangling", "it is a symbolic link"},
        {folder / "fifo", "it is not a regular file"},
        {folder / "flocked.txt", "it is locked by another program"},
        {folder / "record-locked.txt", "it is locked by another program"},
        {"/proc/self/comm", "it is not a file on a storage device"},
    };
    const auto comm = test::readFile("/proc/self/comm");
    for (const auto& [path, reason] : cases) {
        SCOPED_TRACE(path);
        const auto run = test::runPass(path);
        EXPECT_EQ(run.refusal, reason);
        EXPECT_TRUE(run.progress.empty());
        EXPECT_FALSE(run.channelLeftOpen);
    }
    ::close(flocked);
    ::close(recordLocked);
    for (const char* name : {"target.txt", "flocked.txt", "record-locked.txt"}) {
        EXPECT_EQ(test::readFile(folder / name), original) << name;
    }
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "link"));
    EXPECT_FALSE(std::filesystem::exists(folder / "nowhere.txt"));
    EXPECT_EQ(test::readFile("/proc/self/comm"), comm);
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
        const auto run = test::runPass(path);
        ::_exit(run.refusal.empty() ? 12 : run.channelLeftOpen && run.progress == Texts{"0%", "32%"} ? 0 : 11);
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

// A folder that refuses deletions: immutable for root (permissions do not bind root), else not writable.
TEST(OverwritePassPosix, aRefusedDeleteLeavesTheFullyOverwrittenFile) {
    TempFolder folder;
    std::filesystem::create_directory(folder / "locked");
    const auto path = folder / "locked" / "victim.bin";
    test::writeFile(path, 102400);
    const std::string lock = (::geteuid() == 0 ? "chattr +i " : "chmod a-w ") + (folder / "locked").string();
    if (std::system((lock + " 2>/dev/null").c_str()) != 0) {
        GTEST_SKIP() << "this file system cannot make a folder refuse deletions";
    }
    const auto run = test::runPass(path);
    std::system(((::geteuid() == 0 ? "chattr -i " : "chmod u+w ") + (folder / "locked").string()).c_str());
    EXPECT_FALSE(run.refusal.empty());
    EXPECT_EQ(run.progress, (Texts{"0%", "32%", "64%", "75%"}));
    const auto after = test::readFile(path);
    EXPECT_EQ(after.size(), 4u * kBlockSize);
    EXPECT_TRUE(test::isAllSpaces(after));
}

// Another program may ignore our locks (they are advisory) and append to the file meanwhile.
TEST(OverwritePassPosix, aFileThatGrowsDuringThePassFailsAndIsKept) {
    TempFolder folder;
    const auto path = folder / "log.txt";
    test::writeFile(path, 40000);
    const auto run = test::runPass(path, {}, true, [&] {
        std::ofstream(path, std::ios::binary | std::ios::app) << std::string(50000, 'n');
    });
    EXPECT_EQ(run.refusal, "another program added to it while it was overwritten");
    const auto after = test::readFile(path);
    ASSERT_EQ(after.size(), 90000u);
    EXPECT_TRUE(test::isAllSpaces(after.substr(0, 65536)));
}

// A file system of its own in an image file, mounted through a loop device when we are root, and filled with
// markers: what the pass leaves on the device can be read back from the image once it is unmounted.
struct LoopVolume {
    LoopVolume(const TempFolder& folder, const std::string& type, int markers) : image(folder / "image") {
        std::filesystem::create_directory(mountPoint);
        std::ofstream(image).close();
        std::filesystem::resize_file(image, 160 * 1024 * 1024);
        mounted = ::geteuid() == 0 && std::system(("mkfs." + type + " -q " + image.string() + quiet).c_str()) == 0 &&
                  std::system(("mount -o loop " + image.string() + " " + mountPoint.string() + quiet).c_str()) == 0;
        std::ofstream out(secret, std::ios::binary);
        for (int i = 0; mounted && i < markers; ++i) {
            out << "SECRET-MARKER-" << 100000 + i << '\n';
        }
        out.close();
        ::sync();
    }
    ~LoopVolume() { unmount(); }
    void unmount() {
        mounted = mounted && ::umount(mountPoint.c_str()) != 0;
    }
    std::size_t markersInImage() const {
        const std::string bytes = test::readFile(image);
        std::size_t count = 0;
        for (auto at = bytes.find("SECRET-MARKER-"); at != std::string::npos; at = bytes.find("SECRET-MARKER-", at + 1)) {
            ++count;
        }
        return count;
    }

    const std::string quiet = " >/dev/null 2>&1";
    std::filesystem::path image;
    std::filesystem::path mountPoint = image.parent_path() / "mnt";
    std::filesystem::path secret = mountPoint / "secret.txt";
    bool mounted = false;
};

TEST(OverwritePassPosix, leavesNoneOfTheOldContentsOnAnExt4Device) {
    TempFolder folder;
    LoopVolume volume(folder, "ext4", 20000);
    if (!volume.mounted) {
        GTEST_SKIP() << "an ext4 image cannot be mounted here (needs root, mkfs.ext4 and loop devices)";
    }
    const auto run = test::runPass(volume.secret);
    EXPECT_EQ(run.outcome, PassOutcome::Obliterated);
    EXPECT_TRUE(run.questions.empty());
    volume.unmount();
    EXPECT_EQ(volume.markersInImage(), 0u);
}

TEST(OverwritePassPosix, onBtrfsAsksFirstAndSaysTheOldContentsMayRemain) {
    TempFolder folder;
    LoopVolume volume(folder, "btrfs", 2000);
    if (!volume.mounted) {
        GTEST_SKIP() << "a btrfs image cannot be mounted here (needs root, btrfs-progs and the kernel's btrfs)";
    }
    const auto path = volume.secret;
    const auto original = test::readFile(path);
    const auto declined = test::runPass(path, {}, false);
    EXPECT_EQ(declined.outcome, PassOutcome::Declined);
    ASSERT_EQ(declined.questions.size(), 1u);
    EXPECT_NE(declined.questions.front().find("btrfs"), std::string::npos);
    EXPECT_FALSE(declined.channelLeftOpen);
    EXPECT_EQ(test::readFile(path), original);

    const auto accepted = test::runPass(path, {}, true);
    EXPECT_EQ(accepted.outcome, PassOutcome::OldContentsMayRemain);
    EXPECT_FALSE(std::filesystem::exists(path));
}

} // namespace
} // namespace ferrowyn
