#include "platform/file_error.h"
#include "platform/file_queries.h"
#include "platform/folder_listing.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>

namespace ferrowyn {
namespace {

using test::TempFolder;

std::vector<std::string> sortedNames(const std::filesystem::path& folder, EntryKind kind) {
    std::vector<std::string> names;
    for (const auto& name : listFolder(folder, kind)) {
        names.push_back(name.string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(FileQueries, reportLengthAndModificationTimeByName) {
    TempFolder folder;
    const auto path = folder / "a.txt";
    test::writeFile(path, 12345);
    const timespec times[2] = {{1614877567, 0}, {1614877567, 250000000}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);

    EXPECT_EQ(fileLength(path), 12345);
    const auto modified = fileModified(path);
    EXPECT_EQ(std::chrono::duration_cast<std::chrono::milliseconds>(modified.time_since_epoch()).count(),
              1614877567250);
    EXPECT_THROW((void)fileLength(folder / "gone.txt"), FileError);
    EXPECT_THROW((void)fileModified(folder / "gone.txt"), FileError);
}

TEST(FolderListing, listsVisibleRegularFilesAndFoldersApart) {
    TempFolder folder;
    test::writeFile(folder / "b.txt", 1);
    test::writeFile(folder / "A.txt", 1);
    test::writeFile(folder / ".hidden", 1);
    std::filesystem::create_directory(folder / "docs");
    std::filesystem::create_directory(folder / ".config");
    std::filesystem::create_symlink(folder / "b.txt", folder / "link-to-file");
    std::filesystem::create_directory_symlink(folder / "docs", folder / "link-to-folder");
    ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0666), 0);

    EXPECT_EQ(sortedNames(folder.path(), EntryKind::RegularFile), (std::vector<std::string>{"A.txt", "b.txt"}));
    EXPECT_EQ(sortedNames(folder.path(), EntryKind::Folder), (std::vector<std::string>{"docs", "link-to-folder"}));
    EXPECT_TRUE(canListFolder(folder.path()));
    EXPECT_FALSE(canListFolder(folder / "b.txt"));
    EXPECT_FALSE(canListFolder(folder / "missing"));
    EXPECT_THROW((void)listFolder(folder / "missing", EntryKind::RegularFile), FileError);
}

} // namespace
} // namespace ferrowyn
