#include "platform/core/file_channel.h"
#include "platform/core/file_error.h"
#include "platform/core/folder_listing.h"
#include "platform/core/windows_drives.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <windows.h>

namespace ferrowyn {
namespace {

using test::TempFolder;

std::wstring lower(std::wstring text) {
    std::transform(text.begin(), text.end(), text.begin(), [](wchar_t c) { return std::towlower(c); });
    return text;
}

TEST(WindowsPlatform, leavesOutHiddenAndSystemFiles) {
    TempFolder folder;
    test::writeFile(folder / "shown.txt", 1);
    test::writeFile(folder / "hidden.txt", 1);
    test::writeFile(folder / "system.txt", 1);
    ASSERT_TRUE(SetFileAttributesW((folder / "hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(SetFileAttributesW((folder / "system.txt").c_str(), FILE_ATTRIBUTE_SYSTEM));
    const auto names = listFolder(folder.path(), EntryKind::RegularFile);
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names.front(), "shown.txt");
}

TEST(WindowsPlatform, refusesAFileThatAnotherProgramHoldsLocked) {
    TempFolder folder;
    test::writeFile(folder / "locked.txt", 100);
    const auto original = test::readFile(folder / "locked.txt");
    const HANDLE lock = CreateFileW((folder / "locked.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_NE(test::refusalOfPass(folder / "locked.txt"), "not refused");
    CloseHandle(lock);
    EXPECT_EQ(test::readFile(folder / "locked.txt"), original);
}

TEST(WindowsPlatform, refusesASymbolicLinkAndLeavesItsTargetUntouched) {
    TempFolder folder;
    test::writeFile(folder / "target.txt", 100);
    const auto original = test::readFile(folder / "target.txt");
    if (!CreateSymbolicLinkW((folder / "link").c_str(), (folder / "target.txt").c_str(), 0)) {
        GTEST_SKIP() << "symbolic links cannot be made here";
    }
    const DWORD attributes = GetFileAttributesW((folder / "link").c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        // Wine makes a link of its host's, which it shows to programs as the plain file it leads to.
        GTEST_SKIP() << "this system shows a symbolic link as an ordinary file (Wine), so it cannot be refused";
    }
    EXPECT_EQ(test::refusalOfPass(folder / "link"), "it is a symbolic link");
    EXPECT_EQ(test::readFile(folder / "target.txt"), original);
}

TEST(WindowsPlatform, listsDrivesAndKnowsEachDrivesCurrentFolder) {
    const auto drives = windowsDrives();
    ASSERT_TRUE(
        std::any_of(drives.begin(), drives.end(), [](const WindowsDrive& d) { return d.root == L"C:\\"; }));

    TempFolder folder;
    ASSERT_EQ(folder.path().native().substr(1, 1), L":");
    ASSERT_TRUE(SetCurrentDirectoryW(folder.path().c_str()));
    const wchar_t letter = folder.path().native().front();
    EXPECT_EQ(lower(currentFolderOfDriveLetter(letter)), lower(folder.path().native()));
    SetCurrentDirectoryW(folder.path().parent_path().c_str());

    wchar_t missing = 0;
    for (wchar_t candidate = L'Q'; candidate <= L'Y' && missing == 0; ++candidate) {
        const bool present = std::any_of(drives.begin(), drives.end(),
                                         [&](const WindowsDrive& d) { return d.root.front() == candidate; });
        missing = present ? 0 : candidate;
    }
    ASSERT_NE(missing, 0);
    EXPECT_THROW((void)currentFolderOfDriveLetter(missing), FileError);
}

TEST(WindowsPlatform, failuresCarryTheSystemsOwnText) {
    TempFolder folder;
    const auto opening = test::errorOpening(folder / "no-folder" / "a.txt");
    ASSERT_TRUE(opening.has_value()) << "opened a file in a missing folder";
    const std::string reason = opening->reason();
    EXPECT_NE(reason.rfind("error ", 0), 0u) << reason;
    EXPECT_FALSE(reason.empty());
    EXPECT_NE(reason.back(), '\n');
}

} // namespace
} // namespace ferrowyn
