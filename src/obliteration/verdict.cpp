#include "obliteration/verdict.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace ferrowyn {
namespace {

// The file systems of both systems, by what they do with an overwrite. Names are compared without case: Linux
// says "exfat", Windows "exFAT".
// Overwrite a file's blocks where they lie.
constexpr std::string_view kInPlace[] = {"ext2",  "ext3", "ext4",  "xfs",     "vfat", "msdos", "exfat", "fat",
                                         "fat32", "ntfs", "ntfs3", "hfsplus", "jfs",  "tmpfs", "ramfs"};
// Write every change to new blocks (copy-on-write or log-structured).
constexpr std::string_view kNewPlaces[] = {"btrfs", "zfs", "bcachefs", "nilfs2", "f2fs", "refs"};
// Network file systems: the server decides where the data goes and what it keeps.
constexpr std::string_view kNetwork[] = {
    "nfs",       "nfs4",         "cifs",           "smb3",        "smbfs",         "9p",
    "afs",       "ceph",         "glusterfs",      "davfs",       "fuse.sshfs",    "fuse.rclone",
    "fuse.s3fs", "fuse.gcsfuse", "fuse.glusterfs", "fuse.davfs2", "fuse.curlftpfs"};
// Overwrite a file's extended attributes where they lie (measured: xfs writes them anew, ntfs-3g its streams too).
constexpr std::string_view kAttributesInPlace[] = {"ext2", "ext3", "ext4", "tmpfs", "ramfs"};
// Keep a small file's data inside their own file table, where a map shows no blocks for it.
constexpr std::string_view kSmallFilesInTable[] = {"ntfs", "ntfs3"};
// The smallest record of NTFS's file table: a file shorter than this may live inside its record.
constexpr std::int64_t kSmallestTableRecord = 1024;

template <std::size_t N> bool isOneOf(const std::string& name, const std::string_view (&list)[N]) {
    std::string lower = name;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return std::find(std::begin(list), std::end(list), lower) != std::end(list);
}

Verdict because(Remains remains, const DriveFacts& drive) {
    return {remains, drive.fileSystem, {}, {}, false};
}

// Copies of the old contents that the drive may keep elsewhere, whatever the file's blocks show.
Remains copiesElsewhere(const DriveFacts& drive) {
    if (drive.remote || isOneOf(drive.fileSystem, kNetwork)) {
        return Remains::NetworkDrive;
    }
    if (drive.overlayLowerCopy) {
        return Remains::OverlayLowerLayer;
    }
    if (drive.journalsData) {
        return Remains::Journalled;
    }
    if (drive.compressed) {
        return Remains::Compressed;
    }
    return drive.encrypted ? Remains::Encrypted : Remains::Nowhere;
}

Remains fromFlags(unsigned flags) {
    if ((flags & Extent::Shared) != 0) {
        return Remains::SharedBlocks;
    }
    if ((flags & Extent::Inline) != 0) {
        return Remains::Inline;
    }
    return (flags & Extent::Encoded) != 0 ? Remains::Compressed : Remains::Nowhere;
}

Remains fromMap(const BlockMap& map) {
    for (const Extent& extent : map) {
        if (const Remains remains = fromFlags(extent.flags); remains != Remains::Nowhere) {
            return remains;
        }
    }
    return Remains::Nowhere;
}

// Where no map can be read, only the file system's kind speaks.
Remains withoutMap(const DriveFacts& drive, std::int64_t length) {
    if (isOneOf(drive.fileSystem, kNewPlaces)) {
        return Remains::WritesToNewPlaces;
    }
    if (!isOneOf(drive.fileSystem, kInPlace)) {
        return Remains::CannotTell;
    }
    const bool takesLessThanAUnit =
        drive.allocatedBytes >= 0 && drive.allocationUnit > 0 && drive.allocatedBytes < drive.allocationUnit;
    if (isOneOf(drive.fileSystem, kSmallFilesInTable) && length > 0 &&
        (length < kSmallestTableRecord || takesLessThanAUnit)) {
        return Remains::MayBeInline;
    }
    return Remains::Nowhere;
}

// The old bytes must still be the file's, at the very places they had, in extents of their own.
struct MapComparison {
    bool cutShort = false;
    Remains remains = Remains::Nowhere;
};
MapComparison compareMaps(const BlockMap& before, const BlockMap& after, std::int64_t oldEnd) {
    MapComparison comparison;
    comparison.remains = fromMap(before);
    const auto mayRemain = [&](Remains remains) {
        if (comparison.remains == Remains::Nowhere) {
            comparison.remains = remains;
        }
    };
    for (const Extent& old : before) {
        const std::int64_t start = old.logical;
        const std::int64_t end = std::min(old.logical + old.length, oldEnd);
        std::int64_t covered = 0;
        for (const Extent& now : after) {
            const std::int64_t from = std::max(start, now.logical);
            const std::int64_t to = std::min(end, now.logical + now.length);
            // Blocks still unwritten did not take the spaces: they count as not covered.
            if (from >= to || (now.flags & Extent::Unwritten) != 0) {
                continue;
            }
            covered += to - from;
            if (now.physical - now.logical != old.physical - old.logical) {
                mayRemain(Remains::Moved);
            }
            mayRemain(fromFlags(now.flags));
        }
        comparison.cutShort = comparison.cutShort || covered < end - start;
    }
    return comparison;
}

// What became of the file's attachments: each overwritten where it lay, or the first that may remain.
Verdict attachmentsVerdict(const DriveFacts& drive, const std::vector<Attachment>& attachments) {
    for (const Attachment& attachment : attachments) {
        Verdict kept{Remains::AttachmentKept, drive.fileSystem, attachment.name, attachment.failure, false};
        if (!attachment.failure.empty()) {
            return kept;
        }
        Remains remains = Remains::Nowhere;
        if (attachment.before && attachment.after) {
            const MapComparison comparison = compareMaps(*attachment.before, *attachment.after, attachment.length);
            remains = comparison.cutShort ? Remains::Moved : comparison.remains;
        } else if (isOneOf(drive.fileSystem, kNewPlaces)) {
            remains = Remains::WritesToNewPlaces;
        } else if (!isOneOf(drive.fileSystem, kAttributesInPlace) || drive.userSpaceDriver) {
            // Kept among the file system's records, which only some file systems overwrite where they lie.
            kept.detail = "its file system (" + drive.fileSystem + ") may write it anew in another place";
            return kept;
        }
        if (remains != Remains::Nowhere) {
            kept.detail = wordsFor(because(remains, drive));
            return kept;
        }
    }
    return {};
}

} // namespace

Verdict verdictBefore(const DriveFacts& drive, const std::optional<BlockMap>& before, std::int64_t length) {
    if (const Remains elsewhere = copiesElsewhere(drive); elsewhere != Remains::Nowhere) {
        return because(elsewhere, drive);
    }
    if (drive.nameOnly) {
        return because(Remains::CannotTell, drive);
    }
    if (!before) {
        return because(withoutMap(drive, length), drive);
    }
    if (const Remains fromBlocks = fromMap(*before); fromBlocks != Remains::Nowhere) {
        return because(fromBlocks, drive);
    }
    return because(isOneOf(drive.fileSystem, kNewPlaces) && !drive.noCopyOnWrite ? Remains::WritesToNewPlaces
                                                                                 : Remains::Nowhere,
                   drive);
}

Verdict verdictAfter(const DriveFacts& drive, const std::optional<BlockMap>& before,
                     const std::optional<BlockMap>& after, std::int64_t oldEnd,
                     const std::vector<Attachment>& attachments) {
    Verdict verdict = verdictBefore(drive, before, oldEnd);
    if (before && !after && verdict.remains == Remains::Nowhere) {
        // The map after cannot be read: what was found before stands, and the file system's kind speaks.
        verdict = because(withoutMap(drive, oldEnd), drive);
    } else if (before && after) {
        const MapComparison comparison = compareMaps(*before, *after, oldEnd);
        verdict.cutShort = comparison.cutShort;
        // A reason foreseen before writing is said in the words of the question asked then.
        if (verdict.remains == Remains::Nowhere) {
            verdict.remains = comparison.remains;
        }
    }
    if (verdict.remains == Remains::Nowhere) {
        const bool cutShort = verdict.cutShort;
        verdict = attachmentsVerdict(drive, attachments);
        verdict.cutShort = cutShort;
    }
    return verdict;
}

std::string wordsFor(const Verdict& verdict) {
    const std::string& type = verdict.fileSystem.empty() ? std::string("unknown") : verdict.fileSystem;
    switch (verdict.remains) {
    case Remains::Nowhere:
        return {};
    case Remains::SharedBlocks:
        return "the file shares its blocks with another file (a copy)";
    case Remains::Moved:
        return "its file system wrote the spaces to new places";
    case Remains::Inline:
        return "its file system keeps this small file among its own records";
    case Remains::MayBeInline:
        return "its file system (" + type + ") may keep a file this small among its own records";
    case Remains::Compressed:
        return "the file is stored compressed";
    case Remains::Encrypted:
        return "the file is encrypted";
    case Remains::Journalled:
        return "its file system keeps a copy of everything written in its journal";
    case Remains::OverlayLowerLayer:
        return "it lies in an overlay whose lower layer keeps the original, out of reach of this overwrite";
    case Remains::NetworkDrive:
        return "it lies on a network drive (" + type + "), whose server decides what it keeps";
    case Remains::WritesToNewPlaces:
        return "its file system (" + type + ") writes every change to a new place";
    case Remains::CannotTell:
        return "Ferrowyn cannot tell how its file system (" + type + ") stores changes";
    case Remains::AttachmentKept:
        return "the data it carries besides its contents (" + verdict.attachment +
               ") may remain: " + verdict.detail;
    }
    return {};
}

} // namespace ferrowyn
