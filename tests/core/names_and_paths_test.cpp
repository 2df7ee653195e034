#include "platform/core/chosen_file.h"
#include "platform/core/folder_path.h"
#include "platform/core/path_display.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <set>

namespace ferrowyn {
namespace {

// Each name as the lists, the details and the boxes show it: two different names never read or look the same
// (not by a backslash, a space at an end, a control, or a different Unicode form of the same letters), and
// nothing in a name can turn the rest of a message around or break it into lines.
TEST(Names, twoDifferentNamesNeverReadTheSame) {
    const std::string separator(1, static_cast<char>(std::filesystem::path::preferred_separator));
    std::vector<std::pair<std::filesystem::path, std::string>> cases = {
        {u8"report.txt", "report.txt"},
        {u8"report.txt ", "report.txt\\u0020"},
        {u8" report.txt", "\\u0020report.txt"},
        {std::filesystem::path(u8"my docs ") / u8"a b", "my docs\\u0020" + separator + "a b"},
        {u8"a\u00A0b", "a\\u00A0b"}, // a space that does not break
        {u8"caf\u00E9 \u65E5\u672C \U0001F600", "caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80"},
        {u8"cafe\u0301", "cafe\\u0301"}, // the same letters as the one above, not composed
        {u8"\u0939\u093F\u0928\u094D\u0926\u0940",
         "\xE0\xA4\xB9\xE0\xA4\xBF\xE0\xA4\xA8\xE0\xA5\x8D\xE0\xA4\xA6\xE0\xA5\x80"},
        {u8"\u212B", "\\u212B"}, // the angstrom sign, which composed is the letter below
        {u8"\u00C5", "\xC3\x85"},
        {u8"a\u0301\u0316", "a\\u0301\\u0316"},          // marks out of their canonical order
        {u8"\u0316a\t\u0316", "\\u0316a\\u0009\\u0316"}, // a mark on nothing, and on an escape
        {u8"invoice\u202Etxt.exe", "invoice\\u202Etxt.exe"},
        {u8"a\tb", "a\\u0009b"},
        {u8"a\nb", "a\\u000Ab"},
        {u8"a\u200Bb", "a\\u200Bb"},
        {u8"a\uFFFD", "a\xEF\xBF\xBD"},
    };
#ifdef _WIN32
    cases.push_back({std::wstring(L"a\xD800"), "a\\uD800"}); // half of a UTF-16 pair, alone
    // A name after a separator that would read as an escape, and the name it would read as.
    cases.push_back({std::wstring(L"C:\\u0301x"), "C:\\\\u00750301x"});
    cases.push_back({std::wstring(L"C:\\dir\u0301x"), "C:\\dir\\u0301x"});
    cases.push_back({std::wstring(L"C:\\dir\\u0301x"), "C:\\dir\\\\u00750301x"});
#else
    cases.push_back({"plan\xFF.txt", "plan\\xFF.txt"}); // not UTF-8
    cases.push_back({"plan\\xFF.txt", "plan\\\\xFF.txt"});
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
