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

} // namespace
} // namespace ferrowyn
