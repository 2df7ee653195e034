// Who else has the chosen file: Windows's list of the programs that have a file, read from its bytes.

#include "platform/core/failure_words.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace ferrowyn {
namespace {

// A record as RmGetList gives it: the process, its program's name, its service's short name.
using Record = std::tuple<std::uint32_t, std::u16string, std::u16string>;
std::vector<std::byte> processList(const std::vector<Record>& rows) {
    std::vector<std::byte> list(rows.size() * kProcessInfoSize);
    for (std::size_t row = 0; row < rows.size(); ++row) {
        const auto& [process, name, service] = rows[row];
        std::byte* record = list.data() + row * kProcessInfoSize;
        for (std::size_t i = 0; i < 4; ++i) {
            record[i] = static_cast<std::byte>(process >> (8 * i));
        }
        for (const auto& [at, text] : {std::pair{12, name}, std::pair{524, service}}) {
            for (std::size_t i = 0; i < text.size(); ++i) {
                record[at + 2 * i] = static_cast<std::byte>(text[i] & 0xFF);
                record[at + 2 * i + 1] = static_cast<std::byte>(text[i] >> 8);
            }
        }
    }
    return list;
}

TEST(FileHolders, readsWhatTheRestartManagerTellsOfAFile) {
    constexpr std::uint32_t kOwn = 42;
    const std::pair<std::vector<Record>, std::string> rows[] = {
        {{}, ""},
        {{{1234, u"Microsoft Word", u""}}, "Microsoft Word (process 1234)"},
        {{{7, u"", u"Spooler"}, {9, u"", u""}}, "Spooler (process 7) and process 9"},
        {{{kOwn, u"Ferrowyn", u""}, {5, u"Word", u"x"}, {5, u"Word", u"x"}}, "Word (process 5)"},
        {{{3, u"b\u202Eexe.txt", u""}, {2, u"a\xD800", u""}, {1, u"c", u""}},
         "c (process 1), a\\uD800 (process 2) and b\\u202Eexe.txt (process 3)"},
    };
    for (const auto& [records, named] : rows) {
        EXPECT_EQ(words::programsNamed(holdersFromProcessList(processList(records), kOwn)), named);
    }
    const auto cut = processList({{1, u"a", u""}});
    EXPECT_TRUE(holdersFromProcessList(std::span(cut).first(kProcessInfoSize - 1), kOwn).empty());
}

} // namespace
} // namespace ferrowyn
