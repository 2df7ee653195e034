#include "platform/folder_listing.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sys/stat.h>

namespace ferrowyn {
namespace {

TEST(FolderListingPosix, leavesOutDotFilesAndListsOnlyRealFilesButFollowsLinksToFolders) {
    test::TempFolder folder;
    test::writeFile(folder / "file.txt", 1);
    test::writeFile(folder / ".hidden", 1);
    std::filesystem::create_directory(folder / "docs");
    std::filesystem::create_directory(folder / ".config");
    std::filesystem::create_symlink(folder / "file.txt", folder / "link-to-file");
    std::filesystem::create_directory_symlink(folder / "docs", folder / "link-to-folder");
    ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0666), 0);

    EXPECT_EQ(test::sortedNames(folder.path(), EntryKind::RegularFile), std::vector<std::string>{"file.txt"});
    EXPECT_EQ(test::sortedNames(folder.path(), EntryKind::Folder),
              (std::vector<std::string>{"docs", "link-to-folder"}));
}

TEST(FileChannelPosix, failuresCarryTheSystemsOwnText) {
    test::TempFolder folder;
    const auto missing = folder / "no-folder" / "a.txt";
    const auto opening = test::errorOpening(missing);
    ASSERT_TRUE(opening.has_value()) << "opened a file in a missing folder";
    EXPECT_EQ(opening->what(), "Cannot open " + missing.string() + " for writing: No such file or directory");
}

} // namespace
} // namespace ferrowyn
