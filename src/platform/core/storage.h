#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace ferrowyn {

// What a drive is made of, as far as the system shows it.
enum class Medium {
    Unknown,  // nothing shows it: a USB bridge, a network disk, a device of a kind we do not know
    Flash,    // NVMe, an SSD that says it does not rotate, an SD card or eMMC
    Spinning, // a SATA, SAS or SCSI disk that says it rotates, attached neither by USB nor by a virtual machine
    Virtual,  // a disk a virtual machine's host makes up (virtio, Xen, Hyper-V, VMware, VirtualBox)
};

// One drive at the bottom of the storage under a file: where a file system lies on several (LVM, RAID) there is
// one for each.
struct StorageLeaf {
    std::string name; // "nvme0n1", "sda"; on Windows the bus ("NVMe", "USB")
    Medium medium = Medium::Unknown;
    bool usb = false;       // attached by USB: a stick, a card reader, a drive in an external case
    bool sdCard = false;    // an SD card
    bool emmc = false;      // flash memory soldered into the machine (eMMC)
    bool encrypted = false; // an encryption layer (dm-crypt) lies between the file system and this drive
};

// The storage under one file. Nothing in it is claimed that the system did not show.
struct StorageFacts {
    std::vector<StorageLeaf> leaves; // every drive the file's blocks may lie on
    bool discard = false;            // the drive is told which blocks are freed (discard, TRIM) all the way down

    bool anyIs(Medium medium) const;
    bool allAre(Medium medium) const;
};

// Windows's answers to IOCTL_STORAGE_QUERY_PROPERTY, as their bytes (empty where the query failed): the
// STORAGE_DEVICE_DESCRIPTOR, the DEVICE_SEEK_PENALTY_DESCRIPTOR and the DEVICE_TRIM_DESCRIPTOR.
// `systemSendsTrim`: the file system tells its drive of freed blocks (NTFS, unless the system turned it off).
// On every system, so that the reading can be tested anywhere.
StorageFacts storageFromDescriptors(const std::vector<std::uint8_t>& device,
                                    const std::vector<std::uint8_t>& seekPenalty,
                                    const std::vector<std::uint8_t>& trim, bool systemSendsTrim);

// True when a drive's vendor or model names a virtual machine's disk ("QEMU HARDDISK", "Msft Virtual Disk").
bool namesVirtualDisk(const std::string& vendorOrModel);

} // namespace ferrowyn
