#include "platform/core/folder_listing.h"
#include "platform/core/path_display.h"
#include "platform/core/volumes.h"
#include "platform/core/win32/file_access.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <windows.h>

namespace ferrowyn {
namespace {

using test::TempFolder;

std::vector<std::wstring> sortedNames(const NameList& names) {
    std::vector<std::wstring> sorted;
    for (std::size_t at = 0; at < names.size(); ++at) {
        sorted.emplace_back(names[at]);
    }
    std::sort(sorted.begin(), sorted.end());
    return sorted;
}

TEST(WindowsPlatform, listsNoHiddenOrSystemFilesButHiddenFolders) {
    TempFolder folder;
    for (const char* name : {"shown.txt", "hidden.txt", "system.txt"}) {
        test::writeFile(folder / name, 1);
    }
    for (const char* name : {"AppData", "Windows Own"}) {
        std::filesystem::create_directory(folder / name);
    }
    ASSERT_TRUE(SetFileAttributesW((folder / "hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(SetFileAttributesW((folder / "system.txt").c_str(), FILE_ATTRIBUTE_SYSTEM));
    ASSERT_TRUE(SetFileAttributesW((folder / "AppData").c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(
        SetFileAttributesW((folder / "Windows Own").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    const auto listing = listFolder(folder.path());
    EXPECT_EQ(sortedNames(listing.files), std::vector<std::wstring>{L"shown.txt"});
    EXPECT_EQ(sortedNames(listing.folders), std::vector<std::wstring>{L"AppData"});
}

// A file another program has open is refused, and a failure is told in the system's own words.
TEST(WindowsPlatform, refusesALockedFileWithTheSystemsOwnTexts) {
    TempFolder folder;
    test::writeFile(folder / "a.txt", 100);
    const auto original = test::readFile(folder / "a.txt");
    const HANDLE other = CreateFileW((folder / "a.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    EXPECT_EQ(test::runPass(folder / "a.txt").refusal, "it is locked by another program");
    CloseHandle(other);
    EXPECT_EQ(test::readFile(folder / "a.txt"), original);
    const auto missing = test::runPass(folder / "missing.txt").refusal;
    EXPECT_FALSE(missing.empty());
    EXPECT_NE(missing.rfind("error ", 0), 0u) << missing; // the system's text, not a number
}

TEST(WindowsPlatform, listsDrivesAndKnowsEachDrivesCurrentFolder) {
    const auto drives = storageVolumes();
    ASSERT_TRUE(std::any_of(drives.begin(), drives.end(),
                            [](const Volume& d) { return d.root == L"C:\\" && d.name == "c:"; }));

    TempFolder folder;
    ASSERT_EQ(folder.path().native().substr(1, 1), L":");
    ASSERT_TRUE(SetCurrentDirectoryW(folder.path().c_str()));
    EXPECT_EQ(_wcsicmp(currentFolderOfDrive(volumeRootOf(folder.path())).c_str(), folder.path().c_str()), 0);
    SetCurrentDirectoryW(folder.path().parent_path().c_str());
    // A drive letter that is not there (the window's test takes one away while it is shown).
    EXPECT_THROW((void)currentFolderOfDrive(L"B:\\"), FileError);
}

// Names only the Unix side of a Wine drive can make (make-odd-names.sh): each is exactly the file it names, or it
// is refused; none leads the pass to another file.
TEST(WindowsPlatform, eachNameIsExactlyTheFileItNamesOrIsRefused) {
    const wchar_t* made = _wgetenv(L"FERROWYN_ODD_NAMES");
    if (made == nullptr) {
        GTEST_SKIP() << "the odd names are made for the tests under Wine";
    }
    const std::filesystem::path folder = std::filesystem::path(made) / L"w";
    EXPECT_EQ(sortedNames(listFolder(folder).files),
              (std::vector<std::wstring>{L"NOTES2.TXT", L"link.txt", L"notes.txt", L"notes.txt.", L"notes2.txt",
                                         L"report.txt", L"space", L"space ", L"trail", L"trail."}));
    for (const wchar_t* name : {L"trail.", L"space "}) {
        EXPECT_EQ(test::runPass(folder / name).refusal, "");
        EXPECT_FALSE(std::filesystem::exists(verbatimPath(folder / name)));
    }
    EXPECT_EQ(test::readFile(folder / L"trail"), "trail");
    EXPECT_EQ(test::readFile(folder / L"space"), "space");
    for (const wchar_t* name : {L"d:x.txt", L"a\\..\\..\\x2.txt"}) {
        try {
            (void)chooseFile(folder, name);
            ADD_FAILURE() << "chosen: " << displayText(name);
        } catch (const FileError& error) {
            EXPECT_EQ(error.reason(), "it is not the name of one file in its folder");
        }
    }
    for (const wchar_t* name : {L"link.txt", L"notes.txt.", L"NOTES2.TXT", L"report.txt"}) {
        EXPECT_EQ(test::runPass(folder / name).refusal, "its name leads to another file (a link)");
    }
    // A sparse file whose holes would fill its drive, were they written: refused before the first write.
    const auto sparse = std::filesystem::path(made) / L"small" / L"sparse.bin";
    if (std::filesystem::exists(sparse)) {
        EXPECT_EQ(test::runPass(sparse).refusal,
                  "its drive cannot show where the holes of this sparse file are, and writing them would fill the "
                  "drive");
        EXPECT_EQ(std::filesystem::file_size(sparse), 64u << 20);
    }
    EXPECT_EQ(test::readFile(folder / L"../target/secret.txt") + test::readFile(folder / L"notes.txt") +
                  test::readFile(folder / L"notes2.txt") + test::readFile(folder / L"../o/report.txt"),
              "secretnotesnotes2report");
    EXPECT_EQ(test::readFile(folder / L"../x.txt") + test::readFile(folder / L"../x2.txt"), "x.txtx2.txt");
}

} // namespace
} // namespace ferrowyn
