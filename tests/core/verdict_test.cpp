// What the verdict says of the facts the channels gather, case by case, including those no drive here can show
// (NTFS on Windows, named streams, a map that cannot be read after the flush, Wine's made-up maps).

#include "obliteration/verdict.h"

#include <gtest/gtest.h>

namespace ferrowyn {
namespace {

using Map = std::optional<BlockMap>;

constexpr std::int64_t kLength = 100000;
const BlockMap kInPlace{{0, 1 << 20, 131072, 0}};
const BlockMap kElsewhere{{0, 8 << 20, 131072, 0}};
BlockMap flagged(unsigned flags) {
    return {{0, 1 << 20, 131072, flags}};
}
DriveFacts drive(const char* fileSystem, void (*mark)(DriveFacts&) = nullptr) {
    DriveFacts facts;
    facts.fileSystem = fileSystem;
    facts.allocationUnit = 4096;
    facts.allocatedBytes = 102400;
    if (mark != nullptr) {
        mark(facts);
    }
    return facts;
}
Attachment stream(const char* name, Map before, Map after, const char* failure = "") {
    return {name, 200, std::move(before), std::move(after), failure};
}

struct Case {
    const char* name;
    DriveFacts drive;
    Map before;
    Map after;
    std::vector<Attachment> attachments;
    Remains asked; // what the question before writing says, or Nowhere when none is asked
    Remains said;  // what the outcome says, or Nowhere for "File Obliterated Successfully"
    bool cutShort = false;
};

TEST(Verdict, saysObliteratedOnlyWhereTheFactsShowEveryOldByteOverwrittenWhereItLay) {
    using enum Remains;
    const auto small = [](DriveFacts& d) { d.allocatedBytes = 512; };
    const auto noCow = [](DriveFacts& d) { d.noCopyOnWrite = true; };
    const Map cut = BlockMap{{0, 1 << 20, 4096, 0}};
    const Map unwritten = flagged(Extent::Unwritten);
    const std::vector<Case> cases = {
        {"ext4 in place", drive("ext4"), kInPlace, kInPlace, {}, Nowhere, Nowhere},
        {"ext4, moved", drive("ext4"), kInPlace, kElsewhere, {}, Nowhere, Moved},
        {"ext4, cut short", drive("ext4"), kInPlace, cut, {}, Nowhere, Nowhere, true},
        {"unwritten blocks hold old contents", drive("ext4"), unwritten, flagged(0), {}, Nowhere, Nowhere},
        {"still unwritten after", drive("ext4"), kInPlace, unwritten, {}, Nowhere, Nowhere, true},
        {"btrfs", drive("btrfs"), kInPlace, kElsewhere, {}, WritesToNewPlaces, WritesToNewPlaces},
        {"btrfs, no copy-on-write", drive("btrfs", noCow), kInPlace, kInPlace, {}, Nowhere, Nowhere},
        {"shared with a copy", drive("xfs"), flagged(Extent::Shared), kElsewhere, {}, SharedBlocks, SharedBlocks},
        {"inline", drive("ext4"), flagged(Extent::Inline), kInPlace, {}, Inline, Inline},
        {"encoded", drive("btrfs"), flagged(Extent::Encoded), kElsewhere, {}, Compressed, Compressed},
        {"no map after: what was found stands",
         drive("xfs"),
         flagged(Extent::Shared),
         {},
         {},
         SharedBlocks,
         SharedBlocks},
        {"no map after, in place", drive("xfs"), kInPlace, {}, {}, Nowhere, Nowhere},
        {"overlay, a copy below",
         drive("tmpfs", [](DriveFacts& d) { d.overlayLowerCopy = true; }),
         {},
         {},
         {},
         OverlayLowerLayer,
         OverlayLowerLayer},
        {"overlay, upper layer only", drive("tmpfs"), {}, {}, {}, Nowhere, Nowhere},
        {"network", drive("nfs4"), {}, {}, {}, NetworkDrive, NetworkDrive},
        {"Windows network drive",
         drive("NTFS", [](DriveFacts& d) { d.remote = true; }),
         kInPlace,
         kInPlace,
         {},
         NetworkDrive,
         NetworkDrive},
        {"journal of the data",
         drive("ext4", [](DriveFacts& d) { d.journalsData = true; }),
         kInPlace,
         kInPlace,
         {},
         Journalled,
         Journalled},
        {"unknown file system", drive("fuse.fancy"), {}, {}, {}, CannotTell, CannotTell},
        {"NTFS through FUSE, large", drive("ntfs"), {}, {}, {}, Nowhere, Nowhere},
        {"NTFS through FUSE, small", drive("ntfs", small), {}, {}, {}, MayBeInline, MayBeInline},
        {"NTFS through FUSE, compressed",
         drive("ntfs", [](DriveFacts& d) { d.compressed = true; }),
         {},
         {},
         {},
         Compressed,
         Compressed},
        {"NTFS on Windows, resident", drive("NTFS"), flagged(Extent::Inline), flagged(0), {}, Inline, Inline},
        {"ReFS", drive("ReFS"), kInPlace, kInPlace, {}, WritesToNewPlaces, WritesToNewPlaces},
        {"Wine: a name and nothing else",
         drive("NTFS", [](DriveFacts& d) { d.nameOnly = true; }),
         {},
         {},
         {},
         CannotTell,
         CannotTell},
        {"an attribute overwritten",
         drive("ext4"),
         kInPlace,
         kInPlace,
         {stream("user.a", {}, {})},
         Nowhere,
         Nowhere},
        {"an attribute refused",
         drive("ext4"),
         kInPlace,
         kInPlace,
         {stream("user.a", {}, {}, "refused")},
         Nowhere,
         AttachmentKept},
        {"an attribute on xfs",
         drive("xfs"),
         kInPlace,
         kInPlace,
         {stream("user.a", {}, {})},
         Nowhere,
         AttachmentKept},
        {"a stream through ntfs-3g",
         drive("ntfs", [](DriveFacts& d) { d.userSpaceDriver = true; }),
         {},
         {},
         {stream("user.a", {}, {})},
         Nowhere,
         AttachmentKept},
        {"an attribute, copy-on-write",
         drive("btrfs", noCow),
         kInPlace,
         kInPlace,
         {stream("user.a", {}, {})},
         Nowhere,
         AttachmentKept},
        {"a stream in place",
         drive("NTFS"),
         kInPlace,
         kInPlace,
         {stream(":s", kInPlace, kInPlace)},
         Nowhere,
         Nowhere},
        {"a stream in the file table",
         drive("NTFS"),
         kInPlace,
         kInPlace,
         {stream(":s", flagged(Extent::Inline), flagged(Extent::Inline))},
         Nowhere,
         AttachmentKept},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(verdictBefore(c.drive, c.before, kLength).remains, c.asked);
        const Verdict after = verdictAfter(c.drive, c.before, c.after, kLength, c.attachments);
        EXPECT_EQ(after.remains, c.said);
        EXPECT_EQ(after.cutShort, c.cutShort);
    }
    // The words name what they are about.
    const DriveFacts btrfs = drive("btrfs", noCow);
    EXPECT_EQ(wordsFor(verdictAfter(btrfs, kInPlace, kInPlace, kLength, {stream(":Zone.Identifier", {}, {})})),
              "the data it carries besides its contents (:Zone.Identifier) may remain: its file system (btrfs) "
              "writes every change to a new place");
    EXPECT_EQ(wordsFor(verdictBefore(drive("nfs4"), {}, kLength)),
              "it lies on a network drive (nfs4), whose server decides what it keeps");
}

// Windows's retrieval pointers are believed only when they are whole; only a range no extent covers is a hole.
TEST(Verdict, aMapIsBelievedOnlyWhenWholeAndOnlyItsGapsAreHoles) {
    const auto map = [](std::int64_t start, std::vector<ClusterRun> runs, std::int64_t length) {
        return blockMapFromRuns(start, runs, 4096, length);
    };
    EXPECT_EQ(map(1, {{0, 0}}, 8192), std::nullopt);             // Wine's made-up answer
    EXPECT_EQ(map(0, {{1, 100}}, 8192), std::nullopt);           // short of the length
    EXPECT_EQ(map(0, {{2, 100}, {1, 300}}, 8192), std::nullopt); // going back
    ASSERT_NE(map(0, {{2, 100}}, 8192), std::nullopt);
    EXPECT_EQ(map(0, {{1, 100}, {2, -1}, {3, 7}}, 12000)->size(), 2u); // a hole between two runs
    EXPECT_EQ((*map(0, {}, 300))[0].flags, unsigned{Extent::Inline});  // resident
    const BlockMap sparse{{0, 0, 4096, Extent::Unwritten}, {65536, 0, 4096, 0}, {4096, 0, 4096, 0}};
    EXPECT_EQ(rangesWithAPlace(sparse, 66000), (std::vector<ByteRange>{{0, 8192}, {65536, 66000}}));
}

} // namespace
} // namespace ferrowyn
