// What the storage under a file is made of, and what the outcome says of it: the system's answers read from
// fake trees and descriptors, and on Linux the real road through a loop device to this machine's own disk.

#include "obliteration/storage_note.h"
#include "platform/core/storage.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#ifdef _WIN32
#include "platform/core/win32/drive_facts_reading.h"
#include "platform/core/win32/storage_reading.h"

#include <windows.h>
#else
#include "platform/core/posix/storage_reading.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#endif

namespace ferrowyn {
namespace {

namespace fs = std::filesystem;

// The facts in one line: "sda:flash,sdb:spinning+crypt discard".
std::string describe(const StorageFacts& facts) {
    const char* media[] = {"unknown", "flash", "spinning", "virtual"};
    std::string text;
    for (const StorageLeaf& leaf : facts.leaves) {
        text += (text.empty() ? "" : ",") + leaf.name + ":" + media[static_cast<int>(leaf.medium)] +
                (leaf.usb ? "+usb" : "") + (leaf.sdCard ? "+sd" : "") + (leaf.emmc ? "+emmc" : "") +
                (leaf.encrypted ? "+crypt" : "");
    }
    return text + (facts.discard ? " discard" : "");
}

std::string flash(const std::string& what, const std::string& whole = "This drive is ") {
    return whole + "flash storage " + what +
           ": it may keep earlier copies of the file's blocks internally, where no program can reach them.";
}
const std::string kSsd = flash("(an SSD)");
const std::string kVirtual = "This drive is a virtual disk: the system that hosts it decides where its data "
                             "really lies, and may keep earlier copies of it.";
const std::string kUsb =
    "This drive is a USB drive: if it is flash storage (a stick, a memory card or an SSD), it "
    "may keep earlier copies of the file's blocks internally, where no program can reach them.";
const std::string kEncrypt = " Encrypting the whole drive protects against that.";
const std::string kEncrypted = " The drive is encrypted, so any such copies are unreadable without its key.";
const std::string kTrim =
    " The system tells the drive which blocks are freed, and the drive usually erases such copies soon.";

// Windows's answers as their bytes: a device descriptor on `bus` naming its `product`, a seek penalty or TRIM flag
// (-1: no answer).
std::vector<std::uint8_t> deviceDescriptor(char bus, const std::string& product) {
    std::string bytes(36, '\0');
    bytes[16] = product.empty() ? 0 : 36;
    bytes[28] = bus;
    bytes += product + '\0';
    return {bytes.begin(), bytes.end()};
}
std::vector<std::uint8_t> flag(int value) {
    return value < 0 ? std::vector<std::uint8_t>{}
                     : std::vector<std::uint8_t>{12, 0, 0, 0, 12, 0, 0, 0, static_cast<std::uint8_t>(value)};
}

TEST(Storage, readsWhatWindowsTellsOfADrive) {
    const std::tuple<char, std::string, int, int, bool, std::string> rows[] = {
        {0x11, "", 0, 1, true, "NVMe:flash discard"},
        {0x0B, "", 0, 1, false, "SATA:flash"},
        {0x0B, "", 1, 0, true, "SATA:spinning"},
        {0x07, "", 1, 1, false, "USB:unknown+usb"},
        {0x07, "", 0, -1, true, "USB:flash+usb"},
        {0x0C, "", -1, -1, true, "SD:flash+sd"},
        {0x0D, "", -1, -1, true, "MMC:flash+emmc"},
        {0x0F, "", 1, 1, true, "Virtual:virtual discard"},
        {0x01, "Virtual Disk", 1, -1, true, "SCSI:virtual"},
        {0x01, "", -1, -1, true, "SCSI:unknown"},
    };
    for (const auto& [bus, names, seeks, trim, sendsTrim, expected] : rows) {
        EXPECT_EQ(
            describe(storageFromDescriptors(deviceDescriptor(bus, names), flag(seeks), flag(trim), sendsTrim)),
            expected);
    }
    EXPECT_EQ(describe(storageFromDescriptors({}, flag(0), flag(1), true)), "");
}

#ifdef _WIN32
TEST(Storage, addsNothingUnderWineWhereNothingIsKnown) {
    test::TempFolder folder;
    test::writeFile(folder / "a.txt", 10);
    const HANDLE file = CreateFileW((folder / "a.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    const StorageFacts facts = storageUnder(file);
    CloseHandle(file);
    if (!runsUnderWine()) {
        GTEST_SKIP() << "what the drive is made of is known beforehand only under Wine";
    }
    EXPECT_EQ(storageNote(facts), "") << describe(facts);
}
#else
// A kernel's tree of block devices in a folder: one device a line, "MAJ:MIN path-under-devices key=value...".
void makeTree(const fs::path& sys, const std::vector<std::string>& devices) {
    const std::map<std::string, std::string> files = {
        {"rot", "queue/rotational"}, {"dmax", "queue/discard_max_bytes"},
        {"uuid", "dm/uuid"},         {"back", "loop/backing_file"},
        {"type", "device/type"},     {"model", "device/model"},
        {"partition", "partition"}};
    fs::create_directories(sys / "dev/block");
    for (const std::string& line : devices) {
        std::istringstream words(line);
        std::string number, where, setting;
        words >> number >> where;
        const fs::path device = sys / "devices" / where;
        fs::create_directories(device);
        fs::create_directory_symlink(fs::relative(device, sys / "dev/block"), sys / "dev/block" / number);
        while (words >> setting) {
            const auto [key, value] =
                std::pair{setting.substr(0, setting.find('=')), setting.substr(setting.find('=') + 1)};
            std::istringstream slaves(value);
            for (std::string slave; key == "slaves" && std::getline(slaves, slave, ',');) {
                const fs::path below = fs::canonical(sys / "dev/block" / slave);
                fs::create_directories(device / "slaves");
                fs::create_directory_symlink(fs::relative(below, device / "slaves"),
                                             device / "slaves" / below.filename());
            }
            if (key != "slaves") {
                fs::create_directories((device / files.at(key)).parent_path());
                std::ofstream(device / files.at(key)) << value << "\n";
            }
        }
    }
}

TEST(Storage, namesWhatTheDriveUnderAFileIsMadeOfAndWhatThatMeans) {
    test::TempFolder sys;
    makeTree(sys.path(), {
                             "259:0 pci0/nvme/nvme0/nvme0n1 rot=0 dmax=2199023255040",
                             "259:1 pci0/nvme/nvme0/nvme0n1/nvme0n1p1 partition=1",
                             "8:0 pci0/ata1/host0/block/sda rot=0 dmax=2147450880",
                             "8:16 pci0/ata2/host1/block/sdb rot=1 dmax=0",
                             "8:17 pci0/ata2/host1/block/sdb/sdb1 partition=1",
                             "8:32 pci0/usb1/1-2/host4/block/sdc rot=1 dmax=4294966784",
                             "8:48 pci0/ata3/host2/block/sdd rot=1 model=QEMU_HARDDISK",
                             "179:0 platform/mmc0/mmc0:aaaa/block/mmcblk0 type=SD dmax=0",
                             "179:8 platform/mmc1/mmc1:0001/block/mmcblk1 type=MMC",
                             "254:0 pci0/virtio1/block/vda rot=1 dmax=1073741824",
                             "254:16 pci0/virtio2/block/vdb rot=1 dmax=1073741824",
                             "253:0 virtual/block/dm-0 uuid=CRYPT-LUKS2-0f1e-root slaves=259:1 dmax=0",
                             "253:1 virtual/block/dm-1 uuid=LVM-k3x slaves=8:0,8:17 dmax=2147450880",
                             "7:0 virtual/block/loop0 back=/images/disk.img dmax=4294966784",
                         });
    const std::map<fs::path, DevicePlace> places = {{"/images/disk.img", {259, 1, "/dev/nvme0n1p1", "rw,discard"}},
                                                    {"/dev/vdb", {254, 16, "", ""}}};
    const auto placeOf = [&](const fs::path& path) -> std::optional<DevicePlace> {
        return places.count(path) != 0 ? std::optional(places.at(path)) : std::nullopt;
    };
    const std::tuple<const char*, DevicePlace, std::string, std::string> rows[] = {
        {"NVMe", {259, 1, "/dev/nvme0n1p1", "rw,relatime"}, "nvme0n1:flash", kSsd + kEncrypt},
        {"NVMe, discard", {259, 1, "/dev/nvme0n1p1", "rw,discard"}, "nvme0n1:flash discard", kSsd + kTrim},
        {"SATA SSD", {8, 0, "", "rw"}, "sda:flash", kSsd + kEncrypt},
        {"spinning, no discard taken", {8, 17, "", "rw,discard"}, "sdb:spinning", ""},
        {"USB stick behind a bridge", {8, 32, "", "rw"}, "sdc:unknown+usb", kUsb + kEncrypt},
        {"QEMU's SATA disk", {8, 48, "", "rw"}, "sdd:virtual", kVirtual + kEncrypt},
        {"SD card", {179, 0, "", "rw,discard"}, "mmcblk0:flash+sd", flash("(an SD card)") + kEncrypt},
        {"eMMC", {179, 8, "", "rw"}, "mmcblk1:flash+emmc", flash("(eMMC)") + kEncrypt},
        {"virtio, discard", {254, 0, "", "rw,discard"}, "vda:virtual discard", kVirtual + kEncrypt},
        {"dm-crypt over NVMe", {253, 0, "", "rw,discard"}, "nvme0n1:flash+crypt", kSsd + kEncrypted},
        {"LVM over an SSD and a disk",
         {253, 1, "", "rw"},
         "sda:flash,sdb:spinning",
         flash("(an SSD)", "Part of this drive is ") + kEncrypt},
        {"loop over a file on NVMe", {7, 0, "", "rw,discard"}, "nvme0n1:flash discard", kSsd + kTrim},
        {"btrfs subvolume", {0, 52, "/dev/vdb", "rw,discard=async"}, "vdb:virtual discard", kVirtual + kEncrypt},
        {"in memory", {0, 40, "tmpfs", "rw"}, "0:40:unknown", ""},
    };
    for (const auto& [name, place, facts, note] : rows) {
        const StorageFacts read = readStorage(sys.path(), place, placeOf);
        EXPECT_EQ(describe(read), facts) << name;
        EXPECT_EQ(storageNote(read), note) << name;
    }
}

// The real road: a file in a btrfs subvolume on a loop device lies on the drive that holds the image.
TEST(Storage, followsALoopDeviceToTheDriveThatHoldsItsImage) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root may mount the image";
    }
    test::TempFolder folder;
    const fs::path image = folder / "image";
    ASSERT_TRUE(test::run("truncate -s 128M " + image.string()) &&
                test::run("mkdir " + (folder / "mnt").string()) && test::run("mkfs.btrfs -q " + image.string()) &&
                test::run("mount -o loop,discard " + image.string() + " " + (folder / "mnt").string()) &&
                test::run("btrfs subvolume create " + (folder / "mnt/sub").string()));
    test::writeFile(folder / "mnt/sub/a.txt", 10);
    const int inside = ::open((folder / "mnt/sub/a.txt").c_str(), O_RDONLY);
    const int outside = ::open(image.c_str(), O_RDONLY);
    const StorageFacts facts = storageUnder(inside);
    const StorageFacts imageFacts = storageUnder(outside);
    ::close(inside);
    ::close(outside);
    test::run("umount " + (folder / "mnt").string());
    std::cout << "The drive under " << folder.path() << ": " << describe(imageFacts) << "\n";
    EXPECT_NE(describe(facts), "");
    EXPECT_EQ(describe(facts), describe(imageFacts));
    struct stat details {};
    ::stat(image.c_str(), &details);
    const std::string drive = std::to_string(major(details.st_dev)) + ":" + std::to_string(minor(details.st_dev));
    std::error_code error;
    if (fs::canonical("/sys/dev/block/" + drive, error).string().find("/virtio") != std::string::npos) {
        EXPECT_EQ(storageNote(facts).substr(0, kVirtual.size()), kVirtual);
    }
}
#endif

} // namespace
} // namespace ferrowyn
