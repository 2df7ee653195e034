#include "platform/core/chosen_file.h"
#include "platform/core/folder_path.h"
#include "platform/core/path_display.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <set>

namespace ferrowyn {
namespace {

// Each name as the lists, the details and the boxes show it: two different names never read the same, and
// nothing in a name can turn the rest of a message around or break it into lines.
TEST(Names, twoDifferentNamesNeverReadTheSame) {
    std::vector<std::pair<std::filesystem::path, std::string>> cases = {
        {u8"report.txt", "report.txt"},
        {u8"caf\u00E9 \u65E5\u672C \U0001F600", "caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80"},
        {u8"invoice\u202Etxt.exe", "invoice\\u202Etxt.exe"},
        {u8"a\tb", "a\\u0009b"},
        {u8"a\nb", "a\\u000Ab"},
        {u8"a\u200Bb", "a\\u200Bb"},
        {u8"ab", "ab"},
        {u8"a\uFFFD", "a\xEF\xBF\xBD"},
    };
#ifdef _WIN32
    cases.push_back({std::wstring(L"a\xD800"), "a\\uD800"}); // half of a UTF-16 pair, alone
#else
    cases.push_back({"a\xFF", "a\\xFF"}); // not UTF-8
    cases.push_back({"a\\xFF", "a\\\\xFF"});
#endif
    std::set<std::string> seen;
    for (const auto& [name, shown] : cases) {
        EXPECT_EQ(displayText(name), shown);
        seen.insert(displayText(name));
    }
    EXPECT_EQ(seen.size(), cases.size());

    // And a name is one entry of its folder and nothing else.
    for (const char* one : {"a", "a b.txt", "...", ".hidden", "trail.", "space "}) {
        EXPECT_TRUE(isOneName(one)) << one;
    }
    std::vector<std::filesystem::path> notOne = {"", ".", "..", "a/b", "/etc"};
#ifdef _WIN32
    notOne.insert(notOne.end(), {"d:x.txt", "a\\..\\x2.txt", "c:"});
#endif
    for (const auto& name : notOne) {
        EXPECT_FALSE(isOneName(name)) << displayText(name);
    }
}

// The folder operations the lists rely on, each as a table of paths: what they give, and what they must not.
TEST(FolderPaths, keepOneFormAndTellWhatLiesWhere) {
#ifdef _WIN32
    const std::vector<std::pair<std::filesystem::path, std::filesystem::path>> normal = {
        {"C:\\", "C:\\"},
        {"C:\\a\\", "C:\\a"},
        {"C:/a/./b/../c", "C:\\a\\c"},
        {"\\\\srv\\share\\x\\", "\\\\srv\\share\\x"}};
    const std::filesystem::path root = "C:\\";
    const std::filesystem::path home = "C:\\Users";
#else
    const std::vector<std::pair<std::filesystem::path, std::filesystem::path>> normal = {
        {"/", "/"},
        {"/tmp/", "/tmp"},
        {"/a/./b/../c", "/a/c"},
        {"//a//b", "/a/b"},
        {"/Photos [2019]", "/Photos [2019]"}};
    const std::filesystem::path root = "/";
    const std::filesystem::path home = "/home";
#endif
    for (const auto& [given, kept] : normal) {
        EXPECT_EQ(normalFolderPath(given), kept) << given;
    }
    EXPECT_EQ(normalFolderPath("sub"), normalFolderPath(std::filesystem::current_path() / "sub"));

    const std::tuple<std::filesystem::path, std::filesystem::path, bool> within[] = {
        {home / "ann", home, true},
        {home, home, true},
        {home, root, true},
        {root, home, false},
        {home.native() + std::filesystem::path::string_type(1, 's'), home, false},
        {home / "ann" / "x", home / "ann", true},
        {home / "bob", home / "ann", false},
    };
    for (const auto& [path, folder, inside] : within) {
        EXPECT_EQ(isWithin(path, folder), inside) << path << " in " << folder;
    }
    EXPECT_EQ(chainOfFolders(root, home / "ann"), (std::vector<std::filesystem::path>{root, home, home / "ann"}));
    EXPECT_EQ(chainOfFolders(home, home), std::vector<std::filesystem::path>{home});

    // The nearest folder that can be listed: itself, or a folder above it.
    test::TempFolder folder;
    EXPECT_EQ(nearestListableFolder(folder.path()), folder.path());
    EXPECT_EQ(nearestListableFolder(folder / "gone" / "deeper"), folder.path());
}

} // namespace
} // namespace ferrowyn
