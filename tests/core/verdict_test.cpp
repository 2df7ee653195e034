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
    std::string before_words; // the question asked before writing, or empty
    std::string after_words;  // the outcome's reason, or empty for "File Obliterated Successfully"
    bool cutShort = false;
};

TEST(Verdict, saysObliteratedOnlyWhereTheFactsShowEveryOldByteOverwrittenWhereItLay) {
    const std::string newPlaces = "its file system (btrfs) writes every change to a new place";
    const std::string overlay =
        "it lies in an overlay whose lower layer keeps the original, out of reach of this overwrite";
    const std::string journal = "its file system keeps a copy of everything written in its journal";
    const std::string inlined = "its file system keeps this small file among its own records";
    const auto small = [](DriveFacts& d) { d.allocatedBytes = 512; };
    const std::vector<Case> cases = {
        {"ext4 in place", drive("ext4"), kInPlace, kInPlace, {}, "", ""},
        {"ext4, moved",
         drive("ext4"),
         kInPlace,
         kElsewhere,
         {},
         "",
         "its file system wrote the spaces to new places"},
        {"ext4, cut short", drive("ext4"), kInPlace, BlockMap{{0, 1 << 20, 4096, 0}}, {}, "", "", true},
        {"unwritten old blocks stay old contents",
         drive("ext4"),
         flagged(Extent::Unwritten),
         flagged(0),
         {},
         "",
         ""},
        {"unwritten after: the spaces never landed",
         drive("ext4"),
         kInPlace,
         flagged(Extent::Unwritten),
         {},
         "",
         "",
         true},
        {"btrfs", drive("btrfs"), kInPlace, kElsewhere, {}, newPlaces, newPlaces},
        {"btrfs marked no-copy-on-write",
         drive("btrfs", [](DriveFacts& d) { d.noCopyOnWrite = true; }),
         kInPlace,
         kInPlace,
         {},
         "",
         ""},
        {"shared with a copy",
         drive("xfs"),
         flagged(Extent::Shared),
         kElsewhere,
         {},
         "the file shares its blocks with another file (a copy)",
         "the file shares its blocks with another file (a copy)"},
        {"inline", drive("ext4"), flagged(Extent::Inline), kInPlace, {}, inlined, inlined},
        {"encoded",
         drive("btrfs"),
         flagged(Extent::Encoded),
         kElsewhere,
         {},
         "the file is stored compressed",
         "the file is stored compressed"},
        {"after-map missing keeps what was found before",
         drive("xfs"),
         flagged(Extent::Shared),
         std::nullopt,
         {},
         "the file shares its blocks with another file (a copy)",
         "the file shares its blocks with another file (a copy)"},
        {"after-map missing on a file system that overwrites in place",
         drive("xfs"),
         kInPlace,
         std::nullopt,
         {},
         "",
         ""},
        {"overlay, a copy below",
         drive("tmpfs", [](DriveFacts& d) { d.overlayLowerCopy = true; }),
         std::nullopt,
         std::nullopt,
         {},
         overlay,
         overlay},
        {"overlay, upper layer only", drive("tmpfs"), std::nullopt, std::nullopt, {}, "", ""},
        {"network",
         drive("nfs4"),
         std::nullopt,
         std::nullopt,
         {},
         "it lies on a network drive (nfs4), whose server decides what it keeps",
         "it lies on a network drive (nfs4), whose server decides what it keeps"},
        {"Windows network drive",
         drive("NTFS", [](DriveFacts& d) { d.remote = true; }),
         kInPlace,
         kInPlace,
         {},
         "it lies on a network drive (NTFS), whose server decides what it keeps",
         "it lies on a network drive (NTFS), whose server decides what it keeps"},
        {"journal of the data",
         drive("ext4", [](DriveFacts& d) { d.journalsData = true; }),
         kInPlace,
         kInPlace,
         {},
         journal,
         journal},
        {"unknown file system",
         drive("fuse.fancy"),
         std::nullopt,
         std::nullopt,
         {},
         "Ferrowyn cannot tell how its file system (fuse.fancy) stores changes",
         "Ferrowyn cannot tell how its file system (fuse.fancy) stores changes"},
        {"NTFS through FUSE, large", drive("ntfs"), std::nullopt, std::nullopt, {}, "", ""},
        {"NTFS through FUSE, small",
         drive("ntfs", small),
         std::nullopt,
         std::nullopt,
         {},
         "its file system (ntfs) may keep a file this small among its own records",
         "its file system (ntfs) may keep a file this small among its own records"},
        {"NTFS through FUSE, compressed",
         drive("ntfs", [](DriveFacts& d) { d.compressed = true; }),
         std::nullopt,
         std::nullopt,
         {},
         "the file is stored compressed",
         "the file is stored compressed"},
        {"NTFS on Windows, resident", drive("NTFS"), flagged(Extent::Inline), flagged(0), {}, inlined, inlined},
        {"ReFS",
         drive("ReFS"),
         kInPlace,
         kInPlace,
         {},
         "its file system (ReFS) writes every change to a new place",
         "its file system (ReFS) writes every change to a new place"},
        {"Wine: the name is all it says",
         drive("NTFS", [](DriveFacts& d) { d.nameOnly = true; }),
         std::nullopt,
         std::nullopt,
         {},
         "Ferrowyn cannot tell how its file system (NTFS) stores changes",
         "Ferrowyn cannot tell how its file system (NTFS) stores changes"},
        {"an attribute overwritten in place",
         drive("ext4"),
         kInPlace,
         kInPlace,
         {stream("user.xdg.origin.url", {}, {})},
         "",
         ""},
        {"an attribute refused",
         drive("ext4"),
         kInPlace,
         kInPlace,
         {stream("user.comment", {}, {}, "Operation not permitted")},
         "",
         "the data it carries besides its contents (user.comment) may remain: Operation not permitted"},
        {"an attribute on a copy-on-write file system",
         drive("btrfs", [](DriveFacts& d) { d.noCopyOnWrite = true; }),
         kInPlace,
         kInPlace,
         {stream("user.tag", {}, {})},
         "",
         "the data it carries besides its contents (user.tag) may remain: " + newPlaces},
        {"a named stream in place",
         drive("NTFS"),
         kInPlace,
         kInPlace,
         {stream(":Zone.Identifier", kInPlace, kInPlace)},
         "",
         ""},
        {"a named stream kept in the file table",
         drive("NTFS"),
         kInPlace,
         kInPlace,
         {stream(":Zone.Identifier", flagged(Extent::Inline), flagged(Extent::Inline))},
         "",
         "the data it carries besides its contents (:Zone.Identifier) may remain: " + inlined},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(wordsFor(verdictBefore(c.drive, c.before, kLength)), c.before_words);
        const Verdict after = verdictAfter(c.drive, c.before, c.after, kLength, c.attachments);
        EXPECT_EQ(wordsFor(after), c.after_words);
        EXPECT_EQ(after.cutShort, c.cutShort);
    }
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
