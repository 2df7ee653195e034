// The proof that "File Obliterated Successfully" means what it says: file systems of their own in image files,
// mounted through loop devices (root only), a secret of unique markers on each, and after the pass the markers
// counted in the raw image once it is unmounted.

#include "obliteration/overwrite_pass.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <sys/inotify.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <thread>
#include <unistd.h>

namespace ferrowyn {
namespace {

namespace fs = std::filesystem;

using test::run;

// `count` lines of unique markers written at `at` into the file, which is made if it is not there, in one write
// (as a copy is made: NTFS keeps the first bytes of a file that grows from small among its own records).
fs::path writeMarkers(const fs::path& path, int count, std::int64_t at = 0) {
    std::string lines;
    for (int i = 0; i < count; ++i) {
        lines += "SECRET-MARKER-" + std::to_string(100000 + i) + "\n";
    }
    fs::create_directories(path.parent_path());
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT, 0644);
    ::pwrite(fd, lines.data(), lines.size(), at);
    ::fsync(fd);
    ::close(fd);
    return path;
}

// A file system made in an image file and mounted at `mountPoint`, with the file `secret` on it. In the commands,
// IMG stands for the image and MNT for the mount point.
struct Image {
    Image(const fs::path& image, const fs::path& mountPoint, const std::string& mkfs,
          const std::string& mount = "mount -o loop IMG MNT")
        : image(image), mountPoint(mountPoint), secret(mountPoint / "secret.txt") {
        fs::create_directories(mountPoint);
        std::ofstream(image).close();
        fs::resize_file(image, (mkfs.find("-m 0") != std::string::npos ? 16 : 320) << 20);
        const auto fill = [&](std::string command) {
            for (const auto& [token, value] : {std::pair{"IMG", image.string()}, {"MNT", mountPoint.string()}}) {
                for (auto at = command.find(token); at != std::string::npos; at = command.find(token)) {
                    command.replace(at, 3, value);
                }
            }
            return command;
        };
        mounted = ::geteuid() == 0 && run(fill(mkfs.find("IMG") == std::string::npos ? mkfs + " IMG" : mkfs)) &&
                  run(fill(mount));
    }
    ~Image() { unmount(); }
    void unmount() {
        // What a row mounted inside first: an overlay and its upper layer, a folder shown through bindfs.
        for (const char* inner : {"overlay", "upper", "bound"}) {
            ::umount((mountPoint / inner).c_str());
        }
        mounted = mounted && ::umount(mountPoint.c_str()) != 0;
        if (successor) {
            successor->unmount();
        }
    }
    std::size_t markers() const {
        FILE* grep = ::popen(("grep -a -o -F SECRET-MARKER- " + image.string() + " | wc -l").c_str(), "r");
        std::size_t count = 0;
        std::fscanf(grep, "%zu", &count);
        ::pclose(grep);
        return count;
    }
    fs::path image;
    fs::path mountPoint;
    fs::path secret;
    bool mounted = false;
    std::unique_ptr<Image> successor; // another drive mounted in its place
};

// What each row puts on its drive; each returns the file to obliterate.
template <int count> fs::path markers(Image& image) {
    return writeMarkers(image.secret, count);
}
fs::path markedNoCopyOnWrite(Image& image) {
    std::ofstream(image.secret).close();
    run("chattr +C " + image.secret.string());
    return writeMarkers(image.secret, 2000);
}
fs::path withASharedCopy(Image& image) {
    run("cp --reflink=always " + writeMarkers(image.secret, 2000).string() + " " +
        (image.mountPoint / "copy").string());
    return image.secret;
}
// An overlay whose upper layer lies on another file system (tmpfs, as on a live system), with the file in its
// lower layer or made in the overlay, so only in the upper one.
template <bool inTheLowerLayer> fs::path inAnOverlay(Image& image) {
    const auto& m = image.mountPoint;
    for (const char* sub : {"lower", "upper", "overlay"}) {
        fs::create_directories(m / sub);
    }
    run("mount -t tmpfs tmpfs " + (m / "upper").string());
    fs::create_directories(m / "upper/files");
    fs::create_directories(m / "upper/work");
    if (inTheLowerLayer) {
        writeMarkers(m / "lower/secret.txt", 2000);
    }
    run("mount -t overlay overlay -o lowerdir=" + (m / "lower").string() + ",upperdir=" +
        (m / "upper/files").string() + ",workdir=" + (m / "upper/work").string() + " " + (m / "overlay").string());
    return inTheLowerLayer ? m / "overlay/secret.txt" : writeMarkers(m / "overlay/secret.txt", 2000);
}
// A folder of the drive shown elsewhere as it is, through a user-space driver.
fs::path throughBindfs(Image& image) {
    writeMarkers(image.mountPoint / "folder/secret.txt", 2000);
    fs::create_directories(image.mountPoint / "bound");
    run("bindfs " + (image.mountPoint / "folder").string() + " " + (image.mountPoint / "bound").string());
    return image.mountPoint / "bound/secret.txt";
}
// NTFS through ntfs-3g: a folder whose files are stored compressed.
fs::path inACompressedFolder(Image& image) {
    fs::create_directories(image.mountPoint / "packed");
    run("setfattr -h -v 0x00000800 -n system.ntfs_attrib_be " + (image.mountPoint / "packed").string());
    return writeMarkers(image.mountPoint / "packed/secret.txt", 2000);
}
// Part of the file zeroed the way fallocate does it: its blocks are marked unwritten, and keep their bytes.
fs::path partlyZeroed(Image& image) {
    writeMarkers(image.secret, 4000);
    run("fallocate -z -o 32768 -l 49152 " + image.secret.string());
    return image.secret;
}
// A file cut down from a longer one: its last allocation unit still holds the longer one's bytes.
fs::path cutDownFromALongerOne(Image& image) {
    fs::resize_file(writeMarkers(image.secret, 4000), 100);
    return image.secret;
}
// Where a browser or wget records the address a download came from (a named stream on NTFS).
fs::path aDownload(Image& image) {
    writeMarkers(image.secret, 2000);
    run("setfattr -n user.xdg.origin.url -v https://example.org/SECRET-MARKER-999999 " + image.secret.string());
    return image.secret;
}
// A second name, so that a question waits for its answer.
fs::path withASecondName(Image& image) {
    fs::create_hard_link(writeMarkers(image.secret, 2000), image.mountPoint / "second.txt");
    return image.secret;
}
fs::path sparseAndLargerThanTheVolume(Image& image) {
    for (const std::int64_t at : {0LL, 1LL << 30, (3LL << 30) - 21000}) {
        writeMarkers(image.secret, 1000, at);
    }
    return image.secret;
}
fs::path onAFullVolume(Image& image) {
    writeMarkers(image.secret, 4000); // 84,000 bytes: the last block runs into free space
    const int filler = ::open((image.mountPoint / "filler").c_str(), O_WRONLY | O_CREAT, 0644);
    const std::string zeros(1 << 20, '\0');
    for (std::size_t step = zeros.size(); step >= 4096; step /= 16) {
        while (::write(filler, zeros.data(), step) == static_cast<ssize_t>(step)) {
        }
    }
    ::close(filler);
    return image.secret;
}

// What another program does meanwhile. Between the choice and "Yes": delete the file and make one of the same
// length and time, which gets the freed inode number, so that only the rest of the identity tells them apart.
void recreateWithTheSameInode(Image& image) {
    struct stat before {};
    ::stat(image.secret.c_str(), &before);
    const auto time = fs::last_write_time(image.secret);
    fs::remove(image.secret);
    // xfs frees the inode in the background; freezing the file system waits for that.
    run("fsfreeze -f " + image.mountPoint.string() + " && fsfreeze -u " + image.mountPoint.string());
    std::ofstream(image.secret).close();
    struct stat after {};
    ::stat(image.secret.c_str(), &after);
    ASSERT_EQ(after.st_ino, before.st_ino) << "no new file got the freed inode number";
    fs::resize_file(image.secret, static_cast<std::uintmax_t>(before.st_size)); // no blocks: the markers stay
    fs::last_write_time(image.secret, time);
}
// Or put another drive in its place, with the same file as far as name, length and time go.
void swapTheDrive(Image& image) {
    const auto time = fs::last_write_time(image.secret);
    image.unmount();
    image.successor =
        std::make_unique<Image>(image.image.parent_path() / "other", image.mountPoint, "mkfs.ext4 -q");
    fs::last_write_time(writeMarkers(image.secret, 3000), time);
}
// During the pass, at its first block, or while the user is asked: cut the file short, as a log rotation does.
void cutShort(Image& image) {
    fs::resize_file(image.secret, 1000);
}
// Or rewrite it with the same length and set its time back: only its status time tells.
void rewrittenWithItsTimeSetBack(Image& image) {
    const auto time = fs::last_write_time(image.secret);
    fs::last_write_time(writeMarkers(image.secret, 2000), time);
}

struct Row {
    const char* name;
    const char* mkfs;
    const char* mount;
    fs::path (*prepare)(Image&);
    void (*between)(Image&);
    void (*whileAsked)(Image&);
    void (*during)(Image&);
    std::string question; // asked before writing, or empty
    std::string refusal;
    int markersLeft;          // -1: not counted
    std::string outcome = {}; // why the old contents may remain, where no question foresaw it
};

TEST(DeviceOutcome, saysObliteratedOnlyWhereTheDeviceHoldsNoneOfTheOldContents) {
    const std::string replaced = "it was replaced since it was selected";
    const char* loop = "mount -o loop IMG MNT";
    const std::vector<Row> rows = {
        {"ext4", "mkfs.ext4 -q", loop, markers<20000>, nullptr, nullptr, nullptr, "", "", 0},
        {"xfs", "mkfs.xfs -q -f", loop, markers<20000>, nullptr, nullptr, nullptr, "", "", 0},
        {"ext4 journalling data", "mkfs.ext4 -q", "mount -o loop,data=journal IMG MNT", markers<2000>, nullptr,
         nullptr, nullptr, "its file system keeps a copy of everything written in its journal", "", -1},
        // The same made the default in the superblock, which the mount table does not show.
        {"ext4 journalling data by default", "mkfs.ext4 -q IMG && tune2fs -o journal_data IMG", loop,
         markers<2000>, nullptr, nullptr, nullptr,
         "its file system keeps a copy of everything written in its journal", "", -1},
        {"ext4 inline data", "mkfs.ext4 -q -O inline_data", loop, markers<1>, nullptr, nullptr, nullptr,
         "its file system keeps this small file among its own records", "", -1},
        {"ext4, partly zeroed", "mkfs.ext4 -q", loop, partlyZeroed, nullptr, nullptr, nullptr, "", "", 0},
        // Counted where no journal keeps an older copy of the file's records.
        {"ext4, a download's address", "mkfs.ext4 -q -O ^has_journal", loop, aDownload, nullptr, nullptr, nullptr,
         "", "", 0},
        {"btrfs", "mkfs.btrfs -q", loop, markers<2000>, nullptr, nullptr, nullptr,
         "its file system (btrfs) writes every change to a new place", "", -1},
        {"btrfs no-copy-on-write", "mkfs.btrfs -q", loop, markedNoCopyOnWrite, nullptr, nullptr, nullptr, "", "",
         0},
        // Obliterating the copy afterwards leaves nothing: its blocks are its own by then.
        {"xfs with a shared copy", "mkfs.xfs -q -f", loop, withASharedCopy, nullptr, nullptr, nullptr,
         "the file shares its blocks with another file (a copy)", "", 0},
        {"overlay's lower layer", "mkfs.ext4 -q", loop, inAnOverlay<true>, nullptr, nullptr, nullptr,
         "it lies in an overlay whose lower layer keeps the original, out of reach of this overwrite", "", -1},
        {"overlay's upper layer only", "mkfs.ext4 -q", loop, inAnOverlay<false>, nullptr, nullptr, nullptr, "", "",
         -1},
        {"cut short", "mkfs.ext4 -q", loop, markers<300000>, nullptr, nullptr, cutShort, "",
         "another program cut it short while it was overwritten", -1},
        {"cut short while asked", "mkfs.ext4 -q", loop, withASecondName, nullptr, cutShort, nullptr,
         "1 other names second.txt", "it changed since it was selected", -1},
        {"rewritten while asked", "mkfs.ext4 -q", loop, withASecondName, nullptr, rewrittenWithItsTimeSetBack,
         nullptr, "1 other names second.txt", "it changed since it was selected", 2000},
        {"sparse, larger than the volume", "mkfs.ext4 -q", loop, sparseAndLargerThanTheVolume, nullptr, nullptr,
         nullptr, "", "", 0},
        {"full before the last block", "mkfs.ext4 -q -m 0", loop, onAFullVolume, nullptr, nullptr, nullptr, "", "",
         0},
        {"ext4, made again", "mkfs.ext4 -q", loop, markers<2000>, recreateWithTheSameInode, nullptr, nullptr, "",
         replaced, 2000},
        {"xfs, made again", "mkfs.xfs -q -f", loop, markers<2000>, recreateWithTheSameInode, nullptr, nullptr, "",
         replaced, 2000},
        {"another drive in the same place", "mkfs.ext4 -q", loop, markers<2000>, swapTheDrive, nullptr, nullptr,
         "", "its drive is no longer there", 2000},
        // Drives served by user-space drivers.
        {"NTFS through ntfs-3g", "mkntfs -q -F -f", "mount -t ntfs-3g -o loop IMG MNT", markers<2000>, nullptr,
         nullptr, nullptr, "", "", 0},
        {"NTFS, a small file", "mkntfs -q -F -f", "mount -t ntfs-3g -o loop IMG MNT", markers<10>, nullptr,
         nullptr, nullptr, "its file system (ntfs) may keep a file this small among its own records", "", -1},
        {"NTFS, a compressed folder", "mkntfs -q -F -f", "mount -t ntfs-3g -o loop IMG MNT", inACompressedFolder,
         nullptr, nullptr, nullptr, "the file is stored compressed", "", -1},
        {"exFAT through exfat-fuse", "mkfs.exfat", "mount -t exfat-fuse -o loop IMG MNT", markers<2000>, nullptr,
         nullptr, nullptr, "", "", 0},
        {"exFAT, units of 128 KiB", "mkfs.exfat -c 128K", "mount -t exfat-fuse -o loop IMG MNT",
         cutDownFromALongerOne, nullptr, nullptr, nullptr, "", "", 0},
        {"FAT through fusefat", "mkfs.vfat", "fusefat -o rw+ IMG MNT", markers<2000>, nullptr, nullptr, nullptr,
         "", "", 0},
        {"ext4 through bindfs", "mkfs.ext4 -q", loop, throughBindfs, nullptr, nullptr, nullptr, "", "", 0},
        {"NTFS, a download's address", "mkntfs -q -F -f", "mount -t ntfs-3g -o loop IMG MNT", aDownload, nullptr,
         nullptr, nullptr, "", "", -1,
         "the data it carries besides its contents (user.xdg.origin.url) may remain: its file system (ntfs) may "
         "write it anew in another place"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        test::TempFolder folder;
        Image image(folder / "image", folder / "mnt", row.mkfs, row.mount);
        if (::geteuid() != 0) {
            GTEST_SKIP() << "only root may mount the images";
        }
        const bool userSpace = std::string(row.mount).find("-t ") != std::string::npos ||
                               std::string(row.mount).rfind("fusefat", 0) == 0 || row.prepare == throughBindfs;
        if (userSpace && !fs::exists("/dev/fuse")) {
            std::printf("%-34s skipped: this machine has no FUSE\n", row.name);
            continue;
        }
        ASSERT_TRUE(image.mounted) << "cannot make or mount the image (its mkfs, loop devices, FUSE drivers)";
        const auto secret = row.prepare(image);
        const auto meanwhile = [&](void (*action)(Image&)) {
            return [&image, action] { action ? action(image) : void(); };
        };
        const auto result =
            test::runPass(secret, meanwhile(row.between), true, meanwhile(row.during), meanwhile(row.whileAsked));
        EXPECT_EQ(result.refusal, row.refusal);
        EXPECT_EQ(result.questions, row.question.empty() ? std::vector<std::string>{} : std::vector{row.question});
        if (row.refusal.empty()) {
            const std::string why = row.outcome.empty() ? row.question : row.outcome;
            EXPECT_EQ(result.outcome, why.empty() ? PassOutcome::Obliterated : PassOutcome::OldContentsMayRemain);
            EXPECT_EQ(result.whyOldContentsMayRemain, why);
            EXPECT_FALSE(fs::exists(secret));
        }
        if (fs::exists(image.mountPoint / "copy")) {
            EXPECT_EQ(test::runPass(image.mountPoint / "copy").outcome, PassOutcome::Obliterated);
        }
        struct statvfs space {};
        ::statvfs(image.mountPoint.c_str(), &space);
        EXPECT_TRUE(row.prepare == onAFullVolume || space.f_bfree * 2 > space.f_blocks) << "the holes were filled";
        image.unmount();
        const std::size_t left = image.markers();
        std::printf("%-34s %zu markers left\n", row.name, left);
        if (row.markersLeft >= 0) {
            EXPECT_EQ(left, static_cast<std::size_t>(row.markersLeft));
        }
        if (result.outcome == PassOutcome::Obliterated &&
            std::string(row.mkfs).find("ext4") != std::string::npos) {
            // Its name is not left in the folder's own block either (the journal may still hold it).
            EXPECT_FALSE(run("debugfs -R 'cat /' " + image.image.string() + " | grep -q secret.txt"));
        }
    }
}

// Another program watches the folder and moves its own file onto every new name at once, as a sync client
// might: the pass must never delete that file in place of ours without saying so, on a kernel's file system or
// through a user-space driver, where every step is a round trip.
TEST(DeviceOutcome, aFileMovedOntoTheFreshNameIsNeverDeletedUnsaid) {
    for (const auto& [mkfs, mount] : {std::pair{"mkfs.ext4 -q", "mount -o loop IMG MNT"},
                                      std::pair{"mkfs.exfat", "mount -t exfat-fuse -o loop IMG MNT"},
                                      std::pair{"mkntfs -q -F -f", "mount -t ntfs-3g -o loop IMG MNT"}}) {
        SCOPED_TRACE(mkfs);
        test::TempFolder folder;
        Image image(folder / "image", folder / "mnt", mkfs, mount);
        if (::geteuid() != 0) {
            GTEST_SKIP() << "only root may mount the images";
        }
        if (std::string(mount).find("-t ") != std::string::npos && !fs::exists("/dev/fuse")) {
            continue; // this machine has no FUSE
        }
        ASSERT_TRUE(image.mounted);
        const fs::path other = image.mountPoint / "other.txt";
        int lost = 0;
        int said = 0;
        for (int round = 0; round < 30; ++round) {
            writeMarkers(image.secret, 10);
            std::ofstream(other) << "the other file";
            const int watch = ::inotify_init1(IN_NONBLOCK);
            ::inotify_add_watch(watch, image.mountPoint.c_str(), IN_MOVED_TO);
            std::atomic<bool> racing{true};
            std::thread racer([&] {
                alignas(inotify_event) char events[4096];
                while (racing) {
                    const ssize_t size = ::read(watch, events, sizeof events);
                    for (ssize_t at = 0; at < size;) {
                        const auto* event = reinterpret_cast<const inotify_event*>(events + at);
                        if (event->len > 0 && std::string(event->name) != "other.txt") {
                            ::rename(other.c_str(), (image.mountPoint / event->name).c_str());
                        }
                        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
                    }
                }
            });
            const auto result = test::runPass(image.secret);
            racing = false;
            racer.join();
            ::close(watch);
            // Every file is read before any is removed: a removal may move a driver's listing on.
            std::vector<fs::path> files;
            for (const auto& entry : fs::directory_iterator(image.mountPoint)) {
                if (entry.is_regular_file()) {
                    files.push_back(entry.path());
                }
            }
            int kept = 0;
            for (const auto& file : files) {
                kept += test::readFile(file) == "the other file" ? 1 : 0;
            }
            for (const auto& file : files) {
                fs::remove(file);
            }
            lost += kept == 0 && result.refusal.empty() ? 1 : 0;
            said += kept == 0 && !result.refusal.empty() ? 1 : 0;
        }
        std::printf("%s: the other file went in %d of 30 rounds, each said; unsaid in %d\n", mkfs, said, lost);
        EXPECT_EQ(lost, 0);
    }
}

} // namespace
} // namespace ferrowyn
