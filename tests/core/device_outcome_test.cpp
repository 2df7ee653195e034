// The proof that "File Obliterated Successfully" means what it says: file systems of their own in image files,
// mounted through loop devices (root only), a secret of unique markers on each, and after the pass the markers
// counted in the raw image once it is unmounted.

#include "obliteration/overwrite_pass.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace ferrowyn {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;

constexpr const char* kMarker = "SECRET-MARKER-";

bool run(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

void writeMarkers(const fs::path& path, int count, std::int64_t at = 0) {
    std::fstream out(path, std::ios::binary | std::ios::in | std::ios::out);
    if (!out) {
        out.open(path, std::ios::binary | std::ios::out);
    }
    out.seekp(at);
    for (int i = 0; i < count; ++i) {
        out << kMarker << 100000 + i << '\n';
    }
}

// A file system made in an image file and mounted at `mountPoint`.
struct Image {
    Image(const fs::path& image, const fs::path& mountPoint, const std::string& mkfs, int mebibytes = 320,
          const std::string& options = "defaults")
        : image(image), mountPoint(mountPoint) {
        fs::create_directories(mountPoint);
        std::ofstream(image).close();
        fs::resize_file(image, static_cast<std::uintmax_t>(mebibytes) * 1024 * 1024);
        mounted = ::geteuid() == 0 && run(mkfs + " " + image.string()) &&
                  run("mount -o loop," + options + " " + image.string() + " " + mountPoint.string());
    }
    ~Image() { unmount(); }
    void unmount() {
        mounted = mounted && ::umount(mountPoint.c_str()) != 0;
        if (successor) {
            successor->unmount();
        }
    }
    // Markers left anywhere in the image; its holes are passed over.
    std::size_t markers() const {
        const int fd = ::open(image.c_str(), O_RDONLY);
        std::size_t count = 0;
        std::string chunk(1 << 20, '\0');
        for (off_t at = ::lseek(fd, 0, SEEK_DATA); at >= 0; at = ::lseek(fd, at, SEEK_DATA)) {
            const ssize_t got = ::pread(fd, chunk.data(), chunk.size(), at);
            const bool last = got < static_cast<ssize_t>(chunk.size());
            // A marker that straddles two reads is counted in the second.
            const std::size_t counted =
                last ? static_cast<std::size_t>(std::max<ssize_t>(got, 0)) : chunk.size() - 32;
            const std::string_view seen(chunk.data(), static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
            for (auto found = seen.find(kMarker); found < counted; found = seen.find(kMarker, found + 1)) {
                ++count;
            }
            if (last) {
                break;
            }
            at += static_cast<off_t>(counted);
        }
        ::close(fd);
        return count;
    }
    fs::path image;
    fs::path mountPoint;
    bool mounted = false;
    std::unique_ptr<Image> successor; // another drive mounted in its place
};

struct Row {
    const char* name;
    const char* mkfs;
    const char* options;
    std::function<fs::path(Image&, TempFolder&)> prepare;   // makes the secret; returns the file to obliterate
    std::function<void(Image&, const fs::path&)> meanwhile; // another program, after the choice
    bool duringThePass;                                     // or at the first block
    std::string question;                                   // asked before writing, or empty
    PassOutcome outcome;
    std::string refusal;
    int markersLeft;                        // -1: not counted
    std::function<void(Image&)> after = {}; // more checks while the image is mounted
};

fs::path secretOf(Image& image, int markers) {
    const auto secret = image.mountPoint / "secret.txt";
    writeMarkers(secret, markers);
    ::sync();
    return secret;
}

// Between the choice and "Yes", another program deletes the file and makes one of the same length and time,
// which gets the freed inode number: only the rest of the identity tells them apart.
void recreateWithTheSameInode(Image&, const fs::path& secret) {
    struct stat before {};
    ::stat(secret.c_str(), &before);
    const auto time = fs::last_write_time(secret);
    fs::remove(secret);
    // xfs frees the inode in the background; asking for the free counts waits for it.
    struct statvfs counts {};
    ::statvfs(secret.parent_path().c_str(), &counts);
    std::ofstream(secret).close();
    struct stat after {};
    ::stat(secret.c_str(), &after);
    ASSERT_EQ(after.st_ino, before.st_ino) << "no new file got the freed inode number";
    fs::resize_file(secret, static_cast<std::uintmax_t>(before.st_size)); // no blocks: the old markers stay put
    fs::last_write_time(secret, time);
}

TEST(DeviceOutcome, saysObliteratedOnlyWhereTheDeviceHoldsNoneOfTheOldContents) {
    const auto plain = [](int markers) {
        return [markers](Image& image, TempFolder&) { return secretOf(image, markers); };
    };
    const auto mayRemain = PassOutcome::OldContentsMayRemain;
    const auto gone = PassOutcome::Obliterated;
    const std::vector<Row> rows = {
        {"ext4", "mkfs.ext4 -q", "defaults", plain(20000), {}, false, "", gone, "", 0},
        {"xfs", "mkfs.xfs -q -f", "defaults", plain(20000), {}, false, "", gone, "", 0},
        {"ext4 journalling data",
         "mkfs.ext4 -q",
         "data=journal",
         plain(2000),
         {},
         false,
         "its file system keeps a copy of everything written in its journal",
         mayRemain,
         "",
         -1},
        {"ext4 inline data",
         "mkfs.ext4 -q -O inline_data",
         "defaults",
         plain(1),
         {},
         false,
         "its file system keeps this small file among its own records",
         mayRemain,
         "",
         -1},
        {"btrfs",
         "mkfs.btrfs -q",
         "defaults",
         plain(2000),
         {},
         false,
         "its file system (btrfs) writes every change to a new place",
         mayRemain,
         "",
         -1},
        {"btrfs no-copy-on-write",
         "mkfs.btrfs -q",
         "defaults",
         [](Image& image, TempFolder&) {
             std::ofstream(image.mountPoint / "secret.txt").close();
             run("chattr +C " + (image.mountPoint / "secret.txt").string());
             return secretOf(image, 2000);
         },
         {},
         false,
         "",
         gone,
         "",
         0},
        {"xfs with a shared copy",
         "mkfs.xfs -q -f",
         "defaults",
         [](Image& image, TempFolder&) {
             const auto secret = secretOf(image, 2000);
             run("cp --reflink=always " + secret.string() + " " + (image.mountPoint / "copy.txt").string());
             return secret;
         },
         {},
         false,
         "the file shares its blocks with another file (a copy)",
         mayRemain,
         "",
         0,
         [](Image& image) {
             // Obliterating the copy afterwards leaves nothing: its blocks are its own now.
             EXPECT_EQ(test::runPass(image.mountPoint / "copy.txt").outcome, PassOutcome::Obliterated);
         }},
        {"overlay's lower layer",
         "mkfs.ext4 -q",
         "defaults",
         [](Image& image, TempFolder& folder) {
             const auto& m = image.mountPoint;
             for (const char* sub : {"lower", "upper", "work"}) {
                 fs::create_directories(m / sub);
             }
             fs::create_directories(folder / "overlay");
             writeMarkers(m / "lower/secret.txt", 2000);
             run("mount -t overlay overlay -o lowerdir=" + (m / "lower").string() +
                 ",upperdir=" + (m / "upper").string() + ",workdir=" + (m / "work").string() + " " +
                 (folder / "overlay").string());
             return folder / "overlay/secret.txt";
         },
         {},
         false,
         "it lies in an overlay whose lower layer keeps the original, out of reach of this overwrite",
         mayRemain,
         "",
         -1},
        {"ext4, cut short during the pass", "mkfs.ext4 -q", "defaults", plain(300000),
         [](Image&, const fs::path& secret) { fs::resize_file(secret, 1000000); }, true, "", gone,
         "another program cut it short while it was overwritten", -1},
        {"ext4, a sparse file larger than the volume",
         "mkfs.ext4 -q",
         "defaults",
         [](Image& image, TempFolder&) {
             const auto secret = image.mountPoint / "secret.txt";
             for (const std::int64_t at : {0LL, 1LL << 30, (3LL << 30) - 21000}) {
                 writeMarkers(secret, 1000, at);
             }
             ::sync();
             return secret;
         },
         {},
         false,
         "",
         gone,
         "",
         0,
         [](Image& image) {
             struct statvfs space {};
             ::statvfs(image.mountPoint.c_str(), &space);
             EXPECT_GT(space.f_bfree * 2, space.f_blocks) << "the holes were filled";
         }},
        {"ext4, full before the last block",
         "mkfs.ext4 -q -m 0",
         "defaults",
         [](Image& image, TempFolder&) {
             const auto secret = secretOf(image, 4000); // 84,000 bytes: the last block runs into free space
             const int filler = ::open((image.mountPoint / "filler").c_str(), O_WRONLY | O_CREAT, 0644);
             const std::string zeros(1 << 20, '\0');
             for (std::size_t step = zeros.size(); step >= 4096; step /= 16) {
                 while (::write(filler, zeros.data(), step) == static_cast<ssize_t>(step)) {
                 }
             }
             ::fsync(filler);
             ::close(filler);
             return secret;
         },
         {},
         false,
         "",
         gone,
         "",
         0},
        {"ext4, deleted and made again", "mkfs.ext4 -q", "defaults", plain(3000), recreateWithTheSameInode, false,
         "", gone, "it was replaced since it was selected", 3000},
        {"xfs, deleted and made again", "mkfs.xfs -q -f", "defaults", plain(3000), recreateWithTheSameInode, false,
         "", gone, "it was replaced since it was selected", 3000},
        {"another drive in the same place", "mkfs.ext4 -q", "defaults", plain(3000),
         [](Image& image, const fs::path& secret) {
             const auto time = fs::last_write_time(secret);
             image.unmount();
             image.successor =
                 std::make_unique<Image>(image.image.parent_path() / "other", image.mountPoint, "mkfs.ext4 -q");
             writeMarkers(secret, 3000); // the same file on the other drive, as far as name, length and time go
             fs::last_write_time(secret, time);
         },
         false, "", gone, "its drive is no longer there", 3000},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TempFolder folder;
        const bool small = std::string(row.mkfs).find("-m 0") != std::string::npos;
        Image image(folder / "image", folder / "mnt", row.mkfs, small ? 16 : 320, row.options);
        if (::geteuid() != 0) {
            GTEST_SKIP() << "only root may mount the images";
        }
        if (!image.mounted) {
            ADD_FAILURE() << "cannot make or mount the image (its mkfs, loop devices)";
            continue;
        }
        const auto secret = row.prepare(image, folder);
        const auto meanwhile = [&] { row.meanwhile(image, secret); };
        const auto result =
            test::runPass(secret, row.meanwhile && !row.duringThePass ? meanwhile : std::function<void()>(), true,
                          row.duringThePass ? meanwhile : std::function<void()>());
        EXPECT_EQ(result.refusal, row.refusal);
        EXPECT_EQ(result.questions, row.question.empty() ? std::vector<std::string>{} : std::vector{row.question});
        if (row.refusal.empty()) {
            EXPECT_EQ(result.outcome, row.outcome);
            EXPECT_EQ(result.whyOldContentsMayRemain, row.question);
            EXPECT_FALSE(fs::exists(secret));
        }
        if (row.after) {
            row.after(image);
        }
        run("umount " + (folder / "overlay").string());
        image.unmount();
        if (row.markersLeft >= 0) {
            EXPECT_EQ(image.markers(), static_cast<std::size_t>(row.markersLeft));
        }
        if (result.outcome == gone && std::string(row.mkfs).find("ext4") != std::string::npos) {
            // Its name is not left in the folder's own block either (the journal may still hold it).
            EXPECT_FALSE(run("debugfs -R 'cat /' " + image.image.string() + " | grep -q secret.txt"));
        }
    }
}

} // namespace
} // namespace ferrowyn
