#include "platform/file_error.h"
#include "platform/file_queries.h"
#include "platform/folder_listing.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace ferrowyn {
namespace {

using test::TempFolder;

TEST(FileQueries, reportLengthAndModificationTimeByName) {
    TempFolder folder;
    const auto path = folder / "a.txt";
    test::writeFile(path, 12345);
    // Whole seconds: the standard library sets times to the second only on some systems.
    const auto stamp = std::chrono::sys_days{std::chrono::March / 4 / 2021} + std::chrono::hours(17) +
                       std::chrono::minutes(6) + std::chrono::seconds(7);
    std::filesystem::last_write_time(path, std::chrono::file_clock::from_sys(stamp));

    EXPECT_EQ(fileLength(path), 12345);
    EXPECT_EQ(std::chrono::duration_cast<std::chrono::milliseconds>(fileModified(path) - stamp).count(), 0);
    EXPECT_THROW((void)fileLength(folder / "gone.txt"), FileError);
    EXPECT_THROW((void)fileModified(folder / "gone.txt"), FileError);
}

TEST(FolderListing, listsRegularFilesAndFoldersApart) {
    TempFolder folder;
    test::writeFile(folder / "b.txt", 1);
    test::writeFile(folder / "A.txt", 1);
    std::filesystem::create_directory(folder / "docs");

    EXPECT_EQ(test::sortedNames(folder.path(), EntryKind::RegularFile),
              (std::vector<std::string>{"A.txt", "b.txt"}));
    EXPECT_EQ(test::sortedNames(folder.path(), EntryKind::Folder), (std::vector<std::string>{"docs"}));
    EXPECT_TRUE(canListFolder(folder.path()));
    EXPECT_TRUE(canListFolder(folder / "docs")); // empty
    EXPECT_FALSE(canListFolder(folder / "b.txt"));
    EXPECT_FALSE(canListFolder(folder / "missing"));
    EXPECT_THROW((void)listFolder(folder / "missing", EntryKind::RegularFile), FileError);
}

} // namespace
} // namespace ferrowyn
