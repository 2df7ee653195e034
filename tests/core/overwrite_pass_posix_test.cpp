#include "obliteration/overwrite_pass.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <grp.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace ferrowyn {
namespace {

using test::TempFolder;

using test::run;

// Runs `check` in a child process and returns its exit status; what the child changes of itself (its limits,
// its user) stays in the child.
int inChild(const std::function<int()>& check) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(check());
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Everything here is refused before the first byte is written, with the reason the user is told.
TEST(OverwritePassPosix, refusesWhatItMustNotOrCannotFinishWithoutTouchingIt) {
    TempFolder folder;
    const bool root = ::geteuid() == 0;
    test::writeFile(folder / "target.txt", 100);
    const auto original = test::readFile(folder / "target.txt");
    std::filesystem::create_symlink(folder / "target.txt", folder / "link");
    ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0666), 0);
    const char* const copies[] = {"flocked.txt",       "record-locked.txt",   "leased.txt",
                                  "unchangeable.txt",  "append-only.txt",     "bound.txt",
                                  "locked/victim.txt", "appending/victim.txt"};
    for (const char* name : copies) {
        std::filesystem::create_directories((folder / name).parent_path());
        std::filesystem::copy_file(folder / "target.txt", folder / name);
    }
    // Another program's locks: a whole-file flock, an open-file record lock on one byte (a classic one would go
    // with any descriptor this same process closes), and a read lease, broken by an open for writing.
    const int flocked = ::open((folder / "flocked.txt").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(flocked, LOCK_SH), 0);
    const int recordLocked = ::open((folder / "record-locked.txt").c_str(), O_RDWR);
    struct flock oneByte = {F_WRLCK, SEEK_SET, 10, 1, 0};
    ASSERT_EQ(::fcntl(recordLocked, F_OFD_SETLK, &oneByte), 0);
    std::signal(SIGIO, SIG_IGN);
    const int leased = ::open((folder / "leased.txt").c_str(), O_RDONLY);
    ASSERT_EQ(::fcntl(leased, F_SETLEASE, F_RDLCK), 0);

    std::vector<std::pair<std::filesystem::path, const char*>> cases = {
        {folder / "link", "it is a symbolic link"},
        {folder / "fifo", "it is not a regular file"},
        {folder / "flocked.txt", "it is locked by another program"},
        {folder / "record-locked.txt", "it is locked by another program"},
        {folder / "leased.txt", "another program has it open"},
        {"/proc/self/comm", "it is not a file on a storage device"},
    };
    // Attributes only root may set, and a mount only root may make.
    if (root && run("chattr +i " + (folder / "unchangeable.txt").string()) &&
        run("chattr +a " + (folder / "append-only.txt").string()) &&
        run("chattr +i " + (folder / "locked").string()) && run("chattr +a " + (folder / "appending").string()) &&
        run("mount --bind " + (folder / "target.txt").string() + " " + (folder / "bound.txt").string())) {
        cases.insert(cases.end(), {{folder / "unchangeable.txt", "the file is marked unchangeable"},
                                   {folder / "append-only.txt", "the file is marked append-only"},
                                   {folder / "locked/victim.txt", "its folder is marked unchangeable"},
                                   {folder / "appending/victim.txt", "its folder is marked append-only"},
                                   {folder / "bound.txt", "another drive is mounted on it"}});
    }
    const auto comm = test::readFile("/proc/self/comm");
    for (const auto& [path, reason] : cases) {
        SCOPED_TRACE(path);
        const auto result = test::runPass(path);
        EXPECT_EQ(result.refusal, reason);
        EXPECT_TRUE(result.progress.empty());
        // Only the lease is met once the file is open, when it is opened for writing.
        EXPECT_EQ(result.channelLeftOpen, reason == std::string("another program has it open"));
    }
    for (const int fd : {flocked, recordLocked, leased}) {
        ::close(fd);
    }
    run("umount " + (folder / "bound.txt").string());
    run("chattr -i -a " + folder.path().string() + "/*.txt " + (folder / "locked").string() + " " +
        (folder / "appending").string());
    for (const char* name : copies) {
        EXPECT_EQ(test::readFile(folder / name), original) << name;
    }
    EXPECT_EQ(test::readFile(folder / "target.txt"), original); // behind the link
    EXPECT_EQ(test::readFile("/proc/self/comm"), comm);

    // Seen as a user without privileges: in a sticky folder (/tmp) a user may not delete another user's file, nor
    // any file in a folder only others may write to.
    for (const auto& [name, mode] :
         {std::pair{"sticky", std::filesystem::perms::all | std::filesystem::perms::sticky_bit},
          std::pair{"theirs", std::filesystem::perms::owner_all}}) {
        std::filesystem::create_directory(folder / name);
        test::writeFile(folder / name / "file.txt", 100);
        std::filesystem::permissions(folder / name / "file.txt", std::filesystem::perms::all);
        std::filesystem::permissions(folder / name, mode | std::filesystem::perms::others_exec);
    }
    if (root) {
        EXPECT_EQ(inChild([&] {
                      return ::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0 &&
                                     test::runPass(folder / "sticky/file.txt").refusal ==
                                         "its folder lets only the file's owner delete it" &&
                                     test::runPass(folder / "theirs/file.txt").refusal ==
                                         "you may not delete files in its folder"
                                 ? 0
                                 : 1;
                  }),
                  0);
        EXPECT_EQ(test::readFile(folder / "sticky/file.txt") + test::readFile(folder / "theirs/file.txt"),
                  original + original);
    }
}

// In a child process whose files may not grow past two blocks, the third block fails.
TEST(OverwritePassPosix, stopsAtAFailedWriteWithTheFileOverwrittenUpToTheLastGoodBlock) {
    TempFolder folder;
    const auto path = folder / "victim.bin";
    test::writeFile(path, 102400);
    const auto original = test::readFile(path);
    const int status = inChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{2 * kBlockSize, 2 * kBlockSize};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) {
            return 10;
        }
        const auto result = test::runPass(path);
        return result.refusal.empty()                                                               ? 12
               : result.channelLeftOpen && result.progress == std::vector<std::string>{"0%", "32%"} ? 0
                                                                                                    : 11;
    });
    ASSERT_NE(status, 10) << "cannot limit the file size here";
    EXPECT_EQ(status, 0) << "11: channel closed or wrong progress, 12: no failure";
    const auto after = test::readFile(path);
    ASSERT_EQ(after.size(), original.size());
    EXPECT_TRUE(test::isAllSpaces(after.substr(0, 2 * kBlockSize)));
    EXPECT_EQ(after.substr(2 * kBlockSize), original.substr(2 * kBlockSize));
}

// Another program may ignore our locks (they are advisory) and add to the file, or cut it short, meanwhile.
TEST(OverwritePassPosix, aFileAnotherProgramChangesDuringThePassFailsAndIsKept) {
    TempFolder folder;
    const auto path = folder / "log.txt";
    const std::pair<std::function<void()>, const char*> cases[] = {
        {[&] { std::ofstream(path, std::ios::binary | std::ios::app) << std::string(50000, 'n'); },
         "another program added to it while it was overwritten"},
        {[&] { std::filesystem::resize_file(path, 1000); },
         "another program cut it short while it was overwritten"},
    };
    for (const auto& [meanwhile, reason] : cases) {
        test::writeFile(path, 90000);
        const auto result = test::runPass(path, {}, true, meanwhile);
        EXPECT_EQ(result.refusal, reason);
        EXPECT_TRUE(test::isAllSpaces(test::readFile(path).substr(0, 1000)));
    }
}

} // namespace
} // namespace ferrowyn
