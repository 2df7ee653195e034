#include "platform/core/storage.h"

#include <algorithm>
#include <string_view>

namespace ferrowyn {
namespace {

// STORAGE_BUS_TYPE's values, as Windows numbers them.
enum Bus : std::uint32_t {
    Scsi = 0x1,
    Ata = 0x3,
    Usb = 0x7,
    Sas = 0xA,
    Sata = 0xB,
    Sd = 0xC,
    Mmc = 0xD,
    Virtual = 0xE,
    FileBackedVirtual = 0xF,
    Nvme = 0x11,
    Ufs = 0x13,
};

// Where each answer keeps what we read, in bytes from its start (the Windows build checks them against its
// headers).
constexpr std::size_t kVendorIdOffsetAt = 12;
constexpr std::size_t kProductIdOffsetAt = 16;
constexpr std::size_t kBusTypeAt = 28;
constexpr std::size_t kFlagAt = 8; // IncursSeekPenalty, TrimEnabled

std::uint32_t word32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

// The text that starts at the offset kept at `offsetAt`, up to its NUL; empty where there is none.
std::string textAt(const std::vector<std::uint8_t>& bytes, std::size_t offsetAt) {
    const std::size_t start = word32(bytes, offsetAt);
    if (start == 0 || start >= bytes.size()) {
        return {};
    }
    const auto end = std::find(bytes.begin() + static_cast<std::ptrdiff_t>(start), bytes.end(), 0);
    return {bytes.begin() + static_cast<std::ptrdiff_t>(start), end};
}

std::string busName(std::uint32_t bus) {
    switch (bus) {
    case Scsi:
        return "SCSI";
    case Ata:
        return "ATA";
    case Usb:
        return "USB";
    case Sas:
        return "SAS";
    case Sata:
        return "SATA";
    case Sd:
        return "SD";
    case Mmc:
        return "MMC";
    case Virtual:
    case FileBackedVirtual:
        return "Virtual";
    case Nvme:
        return "NVMe";
    case Ufs:
        return "UFS";
    default:
        return "bus " + std::to_string(bus);
    }
}

} // namespace

bool StorageFacts::anyIs(Medium medium) const {
    return std::any_of(leaves.begin(), leaves.end(),
                       [&](const StorageLeaf& leaf) { return leaf.medium == medium; });
}

bool StorageFacts::allAre(Medium medium) const {
    return !leaves.empty() && std::all_of(leaves.begin(), leaves.end(),
                                          [&](const StorageLeaf& leaf) { return leaf.medium == medium; });
}

bool namesVirtualDisk(const std::string& vendorOrModel) {
    constexpr std::string_view kNames[] = {"QEMU",    "VBOX",           "VMware",
                                           "Virtual", "PersistentDisk", "Elastic Block Store"};
    return std::any_of(std::begin(kNames), std::end(kNames),
                       [&](std::string_view name) { return vendorOrModel.find(name) != std::string::npos; });
}

StorageFacts storageFromDescriptors(const std::vector<std::uint8_t>& device,
                                    const std::vector<std::uint8_t>& seekPenalty,
                                    const std::vector<std::uint8_t>& trim, bool systemSendsTrim) {
    StorageFacts facts;
    if (device.size() < kBusTypeAt + 4) {
        return facts; // no drive answered: nothing is known
    }
    const std::uint32_t bus = word32(device, kBusTypeAt);
    StorageLeaf leaf{busName(bus)};
    leaf.usb = bus == Usb;
    leaf.sdCard = bus == Sd;
    leaf.emmc = bus == Mmc;
    // Windows reads the seek penalty from the drive's own word on its rotation where it has one; a USB bridge
    // may not pass it on, and then the query fails or claims a penalty.
    const bool answered = seekPenalty.size() > kFlagAt;
    const bool seeks = answered && seekPenalty[kFlagAt] != 0;
    if (bus == Virtual || bus == FileBackedVirtual || namesVirtualDisk(textAt(device, kVendorIdOffsetAt)) ||
        namesVirtualDisk(textAt(device, kProductIdOffsetAt))) {
        leaf.medium = Medium::Virtual;
    } else if (bus == Nvme || bus == Sd || bus == Mmc || bus == Ufs || (answered && !seeks)) {
        leaf.medium = Medium::Flash;
    } else if (seeks && (bus == Scsi || bus == Ata || bus == Sas || bus == Sata)) {
        leaf.medium = Medium::Spinning;
    }
    facts.leaves.push_back(leaf);
    facts.discard = systemSendsTrim && trim.size() > kFlagAt && trim[kFlagAt] != 0;
    return facts;
}

} // namespace ferrowyn
