#include "platform/core/posix/storage_reading.h"
#include "platform/core/posix/mount_table.h"

#include <algorithm>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <string_view>
#include <sys/stat.h>

namespace ferrowyn {
namespace {

namespace fs = std::filesystem;

// Deeper than any real stack of devices: a loop over a file on a loop over a file ... stops here.
constexpr int kDeepest = 16;

std::string firstLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

bool startsWith(std::string_view text, std::string_view start) {
    return text.substr(0, start.size()) == start;
}

bool contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

// "discard" for ext4, xfs and FAT; "discard=async" or "discard=sync" for btrfs.
bool hasDiscardOption(const std::string& options) {
    std::istringstream list(options);
    for (std::string option; std::getline(list, option, ',');) {
        if (option == "discard" || startsWith(option, "discard=")) {
            return true;
        }
    }
    return false;
}

// The kinds of dm-crypt device cryptsetup makes that encrypt; its other kinds ("CRYPT-VERITY",
// "CRYPT-INTEGRITY", "CRYPT-SUBDEV") only check the data or carry it for another.
bool isEncryptionLayer(const std::string& uuid) {
    constexpr std::string_view kEncrypting[] = {"CRYPT-LUKS",   "CRYPT-PLAIN", "CRYPT-LOOPAES",
                                                "CRYPT-TCRYPT", "CRYPT-BITLK", "CRYPT-FVAULT2"};
    return std::any_of(std::begin(kEncrypting), std::end(kEncrypting),
                       [&](std::string_view kind) { return startsWith(uuid, kind); });
}

// Follows the tree of block devices from a file's device down to the drives at its bottom.
std::string numberOf(const DevicePlace& place) {
    return std::to_string(place.major) + ":" + std::to_string(place.minor);
}

class StorageWalk {
public:
    StorageWalk(const fs::path& sysRoot, const PlaceOfPath& placeOf) : m_sys(sysRoot), m_placeOf(placeOf) {
        std::error_code error;
        m_sysResolved = fs::canonical(sysRoot, error);
    }

    StorageFacts facts(const DevicePlace& place) {
        m_facts.discard = hasDiscardOption(place.mountOptions);
        fromPlace(place, false, 0);
        m_facts.discard = m_facts.discard && !m_facts.leaves.empty();
        return m_facts;
    }

private:
    void fromPlace(const DevicePlace& place, bool encrypted, int depth) {
        std::optional<DevicePlace> device = place;
        if (place.major == 0) {
            // A number the kernel made up for a file system (btrfs gives each subvolume one) names no device:
            // the mount's source is the device, where it is one.
            device = startsWith(place.mountSource, "/dev/") ? m_placeOf(place.mountSource) : std::nullopt;
        }
        std::error_code error;
        const fs::path found = device ? fs::canonical(m_sys / "dev/block" / numberOf(*device), error) : fs::path();
        if (found.empty()) {
            unknown(numberOf(place), encrypted);
        } else {
            fromDevice(found, encrypted, depth);
        }
    }

    void fromDevice(fs::path device, bool encrypted, int depth) {
        if (depth > kDeepest) {
            unknown(device.filename().string(), encrypted);
            return;
        }
        std::error_code error;
        if (fs::exists(device / "partition", error)) {
            device = device.parent_path(); // the whole disk holds the queue's settings
        }
        const std::string discardMax = firstLine(device / "queue/discard_max_bytes");
        m_facts.discard = m_facts.discard && !discardMax.empty() && discardMax != "0";
        encrypted = encrypted || isEncryptionLayer(firstLine(device / "dm/uuid"));

        std::vector<fs::path> below;
        for (const auto& slave : fs::directory_iterator(device / "slaves", error)) {
            std::error_code unresolved;
            const fs::path resolved = fs::canonical(slave.path(), unresolved);
            below.push_back(unresolved ? slave.path() : resolved);
        }
        std::sort(below.begin(), below.end());
        for (const fs::path& each : below) {
            fromDevice(each, encrypted, depth + 1);
        }
        if (!below.empty()) {
            return;
        }
        if (fs::exists(device / "loop/backing_file", error)) {
            const auto place = m_placeOf(firstLine(device / "loop/backing_file"));
            if (!place) {
                unknown(device.filename().string(), encrypted);
                return;
            }
            // The loop device tells the backing file's file system of freed blocks; it must tell its drive.
            m_facts.discard = m_facts.discard && hasDiscardOption(place->mountOptions);
            fromPlace(*place, encrypted, depth + 1);
            return;
        }
        leaf(device, encrypted);
    }

    void leaf(const fs::path& device, bool encrypted) {
        StorageLeaf leaf{device.filename().string()};
        leaf.encrypted = encrypted;
        const std::string& name = leaf.name;
        // Where the device hangs in the machine: under a USB port, a virtual machine's bus, a disk controller.
        const std::string where = "/" + device.lexically_relative(m_sysResolved).generic_string();
        leaf.usb = contains(where, "/usb");
        const bool isVirtual = contains(where, "/virtio") || contains(where, "/VMBUS:") ||
                               contains(where, "/vbd-") || namesVirtualDisk(firstLine(device / "device/vendor")) ||
                               namesVirtualDisk(firstLine(device / "device/model"));
        // Only a SCSI disk's word on its rotation is taken (SATA, SAS, SCSI, USB), which the sd driver asks of
        // the drive. A drive that does not rotate says so; "rotates" may come from a USB bridge or a virtual
        // machine answering for whatever lies behind it.
        const bool scsiDisk = startsWith(name, "sd");
        const std::string rotational = firstLine(device / "queue/rotational");
        const std::string transport = firstLine(device / "device/transport");
        if (startsWith(name, "mmcblk")) {
            const std::string type = firstLine(device / "device/type");
            leaf.sdCard = type == "SD";
            leaf.emmc = type == "MMC";
        }
        if (isVirtual) {
            leaf.medium = Medium::Virtual;
        } else if ((startsWith(name, "nvme") && (transport.empty() || transport == "pcie")) ||
                   startsWith(name, "mmcblk") || (scsiDisk && rotational == "0")) {
            leaf.medium = Medium::Flash;
        } else if (scsiDisk && rotational == "1" && !leaf.usb && !contains(where, "/session")) {
            leaf.medium = Medium::Spinning; // SATA, SAS or SCSI, not iSCSI (a session over the network)
        }
        m_facts.leaves.push_back(leaf);
    }

    void unknown(const std::string& name, bool encrypted) {
        m_facts.leaves.push_back({name, Medium::Unknown, false, false, false, encrypted});
        m_facts.discard = false;
    }

    fs::path m_sys;
    fs::path m_sysResolved;
    const PlaceOfPath& m_placeOf;
    StorageFacts m_facts;
};

std::optional<DevicePlace> placeFrom(const struct statx& details) {
    if (S_ISBLK(details.stx_mode)) {
        return DevicePlace{details.stx_rdev_major, details.stx_rdev_minor, {}, {}};
    }
    const Mount mount = (details.stx_mask & STATX_MNT_ID) != 0 ? mountWithId(details.stx_mnt_id) : Mount{};
    return DevicePlace{details.stx_dev_major, details.stx_dev_minor, mount.source, mount.options};
}

std::optional<DevicePlace> placeOfPath(const fs::path& path) {
    struct statx details {};
    if (::statx(AT_FDCWD, path.c_str(), 0, STATX_TYPE | STATX_MNT_ID, &details) != 0) {
        return std::nullopt;
    }
    return placeFrom(details);
}

} // namespace

StorageFacts readStorage(const fs::path& sysRoot, const DevicePlace& place, const PlaceOfPath& placeOf) {
    return StorageWalk(sysRoot, placeOf).facts(place);
}

StorageFacts storageUnder(int fd) {
    struct statx details {};
    if (::statx(fd, "", AT_EMPTY_PATH, STATX_TYPE | STATX_MNT_ID, &details) != 0) {
        return {};
    }
    return readStorage("/sys", *placeFrom(details), placeOfPath);
}

} // namespace ferrowyn
