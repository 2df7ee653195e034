#include "platform/core/chosen_file.h"
#include "platform/core/path_display.h"

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
}

TEST(Names, aNameIsOneEntryOfItsFolderAndNothingElse) {
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

} // namespace
} // namespace ferrowyn
