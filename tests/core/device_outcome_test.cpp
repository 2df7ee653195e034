// The proof that "File Obliterated Successfully" means what it says: file systems of their own in image files,
// mounted through loop devices (root only), a secret of unique markers on each, and after the pass the markers
// counted in the raw image once it is unmounted.

#include "obliteration/overwrite_pass.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace ferrowyn {
namespace {

namespace fs = std::filesystem;

using test::run;

// `count` lines of unique markers written at `at` into the file, which is made if it is not there.
fs::path writeMarkers(const fs::path& path, int count, std::int64_t at = 0) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT, 0644);
    for (int i = 0; i < count; ++i) {
        const std::string line = "SECRET-MARKER-" + std::to_string(100000 + i) + "\n";
        at += ::pwrite(fd, line.data(), line.size(), at);
    }
    ::fsync(fd);
    ::close(fd);
    return path;
}

// A file system made in an image file and mounted at `mountPoint`, with the file `secret` on it.
struct Image {
    Image(const fs::path& image, const fs::path& mountPoint, const std::string& mkfs,
          const char* options = "defaults")
        : image(image), mountPoint(mountPoint), secret(mountPoint / "secret.txt") {
        fs::create_directories(mountPoint);
        std::ofstream(image).close();
        fs::resize_file(image, (mkfs.find("-m 0") != std::string::npos ? 16 : 320) << 20);
        mounted = ::geteuid() == 0 && run(mkfs + " " + image.string()) &&
                  run("mount -o loop," + std::string(options) + " " + image.string() + " " + mountPoint.string());
    }
    ~Image() { unmount(); }
    void unmount() {
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
fs::path inAnOverlay(Image& image) {
    const auto& m = image.mountPoint;
    for (const char* sub : {"lower", "upper", "work", "overlay"}) {
        fs::create_directories(m / sub);
    }
    writeMarkers(m / "lower/secret.txt", 2000);
    run("mount -t overlay overlay -o lowerdir=" + (m / "lower").string() + ",upperdir=" + (m / "upper").string() +
        ",workdir=" + (m / "work").string() + " " + (m / "overlay").string());
    return m / "overlay/secret.txt";
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
// During the pass, at its first block: cut the file short, as a log rotation does.
void cutShort(Image& image) {
    fs::resize_file(image.secret, 1000000);
}

struct Row {
    const char* name;
    const char* mkfs;
    const char* options;
    fs::path (*prepare)(Image&);
    void (*between)(Image&);
    void (*during)(Image&);
    std::string question; // asked before writing, or empty
    std::string refusal;
    int markersLeft; // -1: not counted
};

TEST(DeviceOutcome, saysObliteratedOnlyWhereTheDeviceHoldsNoneOfTheOldContents) {
    const std::string replaced = "it was replaced since it was selected";
    const std::vector<Row> rows = {
        {"ext4", "mkfs.ext4 -q", "defaults", markers<20000>, nullptr, nullptr, "", "", 0},
        {"xfs", "mkfs.xfs -q -f", "defaults", markers<20000>, nullptr, nullptr, "", "", 0},
        {"ext4 journalling data", "mkfs.ext4 -q", "data=journal", markers<2000>, nullptr, nullptr,
         "its file system keeps a copy of everything written in its journal", "", -1},
        {"ext4 inline data", "mkfs.ext4 -q -O inline_data", "defaults", markers<1>, nullptr, nullptr,
         "its file system keeps this small file among its own records", "", -1},
        {"btrfs", "mkfs.btrfs -q", "defaults", markers<2000>, nullptr, nullptr,
         "its file system (btrfs) writes every change to a new place", "", -1},
        {"btrfs no-copy-on-write", "mkfs.btrfs -q", "defaults", markedNoCopyOnWrite, nullptr, nullptr, "", "", 0},
        // Obliterating the copy afterwards leaves nothing: its blocks are its own by then.
        {"xfs with a shared copy", "mkfs.xfs -q -f", "defaults", withASharedCopy, nullptr, nullptr,
         "the file shares its blocks with another file (a copy)", "", 0},
        {"overlay's lower layer", "mkfs.ext4 -q", "defaults", inAnOverlay, nullptr, nullptr,
         "it lies in an overlay whose lower layer keeps the original, out of reach of this overwrite", "", -1},
        {"cut short", "mkfs.ext4 -q", "defaults", markers<300000>, nullptr, cutShort, "",
         "another program cut it short while it was overwritten", -1},
        {"sparse, larger than the volume", "mkfs.ext4 -q", "defaults", sparseAndLargerThanTheVolume, nullptr,
         nullptr, "", "", 0},
        {"full before the last block", "mkfs.ext4 -q -m 0", "defaults", onAFullVolume, nullptr, nullptr, "", "",
         0},
        {"ext4, made again", "mkfs.ext4 -q", "defaults", markers<2000>, recreateWithTheSameInode, nullptr, "",
         replaced, 2000},
        {"xfs, made again", "mkfs.xfs -q -f", "defaults", markers<2000>, recreateWithTheSameInode, nullptr, "",
         replaced, 2000},
        {"another drive in the same place", "mkfs.ext4 -q", "defaults", markers<2000>, swapTheDrive, nullptr, "",
         "its drive is no longer there", 2000},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        test::TempFolder folder;
        Image image(folder / "image", folder / "mnt", row.mkfs, row.options);
        if (::geteuid() != 0) {
            GTEST_SKIP() << "only root may mount the images";
        }
        ASSERT_TRUE(image.mounted) << "cannot make or mount the image (its mkfs, loop devices)";
        const auto secret = row.prepare(image);
        const auto result = test::runPass(
            secret, [&] { row.between ? row.between(image) : void(); }, true,
            [&] { row.during ? row.during(image) : void(); });
        EXPECT_EQ(result.refusal, row.refusal);
        EXPECT_EQ(result.questions, row.question.empty() ? std::vector<std::string>{} : std::vector{row.question});
        if (row.refusal.empty()) {
            EXPECT_EQ(result.outcome,
                      row.question.empty() ? PassOutcome::Obliterated : PassOutcome::OldContentsMayRemain);
            EXPECT_EQ(result.whyOldContentsMayRemain, row.question);
            EXPECT_FALSE(fs::exists(secret));
        }
        if (fs::exists(image.mountPoint / "copy")) {
            EXPECT_EQ(test::runPass(image.mountPoint / "copy").outcome, PassOutcome::Obliterated);
        }
        struct statvfs space {};
        ::statvfs(image.mountPoint.c_str(), &space);
        EXPECT_TRUE(row.prepare == onAFullVolume || space.f_bfree * 2 > space.f_blocks) << "the holes were filled";
        run("umount " + (image.mountPoint / "overlay").string());
        image.unmount();
        if (row.markersLeft >= 0) {
            EXPECT_EQ(image.markers(), static_cast<std::size_t>(row.markersLeft));
        }
        if (result.outcome == PassOutcome::Obliterated &&
            std::string(row.mkfs).find("ext4") != std::string::npos) {
            // Its name is not left in the folder's own block either (the journal may still hold it).
            EXPECT_FALSE(run("debugfs -R 'cat /' " + image.image.string() + " | grep -q secret.txt"));
        }
    }
}

} // namespace
} // namespace ferrowyn
