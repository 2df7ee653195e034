#include "obliteration/storage_note.h"

#include <algorithm>

namespace ferrowyn {
namespace {

// What a leaf counts as for the note.
StorageKind kindOf(const StorageLeaf& leaf) {
    switch (leaf.medium) {
    case Medium::Virtual:
        return StorageKind::VirtualDisk;
    case Medium::Flash:
        return StorageKind::Flash;
    default:
        return leaf.usb && leaf.medium == Medium::Unknown ? StorageKind::UsbDrive : StorageKind::Plain;
    }
}

template <typename Test> bool all(const StorageFacts& facts, Test test) {
    return std::all_of(facts.leaves.begin(), facts.leaves.end(), test);
}

// The flash storage named as its leaves show it, where they agree.
std::string flashNamed(const StorageFacts& facts) {
    std::vector<StorageLeaf> flash;
    std::copy_if(facts.leaves.begin(), facts.leaves.end(), std::back_inserter(flash),
                 [](const StorageLeaf& leaf) { return leaf.medium == Medium::Flash; });
    const auto allFlash = [&](auto test) { return std::all_of(flash.begin(), flash.end(), test); };
    if (allFlash([](const StorageLeaf& leaf) { return leaf.sdCard; })) {
        return "flash storage (an SD card)";
    }
    if (allFlash([](const StorageLeaf& leaf) { return leaf.emmc; })) {
        return "flash storage (eMMC)";
    }
    if (allFlash([](const StorageLeaf& leaf) { return leaf.usb; })) {
        return "flash storage attached by USB";
    }
    if (allFlash([](const StorageLeaf& leaf) { return !leaf.usb && !leaf.sdCard && !leaf.emmc; })) {
        return "flash storage (an SSD)";
    }
    return "flash storage";
}

} // namespace

StorageKind storageKind(const StorageFacts& facts) {
    StorageKind kind = StorageKind::Plain;
    for (const StorageLeaf& leaf : facts.leaves) {
        // A virtual disk says the most, a USB drive of unknown make the least.
        const StorageKind each = kindOf(leaf);
        if (each == StorageKind::VirtualDisk || (each == StorageKind::Flash && kind != StorageKind::VirtualDisk) ||
            (each == StorageKind::UsbDrive && kind == StorageKind::Plain)) {
            kind = each;
        }
    }
    return kind;
}

std::string storageNote(const StorageFacts& facts) {
    const StorageKind kind = storageKind(facts);
    if (kind == StorageKind::Plain) {
        return {};
    }
    const bool whole = all(facts, [&](const StorageLeaf& leaf) { return kindOf(leaf) == kind; });
    std::string note = whole ? "This drive is " : "Part of this drive is ";
    switch (kind) {
    case StorageKind::VirtualDisk:
        note +=
            "a virtual disk: the system that hosts it decides where its data really lies, and may keep earlier "
            "copies of it.";
        break;
    case StorageKind::Flash:
        note += flashNamed(facts) + ": it may keep earlier copies of the file's blocks internally, where no "
                                    "program can reach them.";
        break;
    default:
        note += "a USB drive: if it is flash storage (a stick, a memory card or an SSD), it may keep earlier "
                "copies of the file's blocks internally, where no program can reach them.";
        break;
    }
    if (all(facts, [](const StorageLeaf& leaf) { return leaf.encrypted; })) {
        note += " The drive is encrypted, so any such copies are unreadable without its key.";
    } else if (facts.discard && kind != StorageKind::VirtualDisk) {
        note +=
            " The system tells the drive which blocks are freed, and the drive usually erases such copies soon.";
    } else {
        note += " Encrypting the whole drive protects against that.";
    }
    return note;
}

} // namespace ferrowyn
