// Who else has the chosen file: a process of the test's own holds it in each way a program does, and the pass
// asks or refuses naming it; and Windows's list of the programs that have a file, read from its bytes.

#include "platform/core/failure_words.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

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

#ifndef _WIN32
// Each case: how a process of ours holds the file, the question it brings (declined) or the refusal; "%" is the
// process as named. The pass writes nothing in any of them.
TEST(FileHolders, namesTheProgramsThatHaveTheFileAndAsksOrRefusesBeforeWriting) {
    using Texts = std::vector<std::string>;
    using How = test::HoldingProcess::How;
    const std::tuple<How, std::string, std::string> cases[] = {
        {How::Open, "open in %", ""},
        {How::Mapped, "open in %", ""}, // its descriptor closed: only its memory map has the file
        {How::Locked, "", "it is locked by %"},
        {How::Leased, "", "% has it open"},
    };
    test::TempFolder folder;
    const auto path = folder / "shared.txt";
    test::writeFile(path, 70000);
    const auto original = test::readFile(path);
    for (const auto& [how, question, refusal] : cases) {
        SCOPED_TRACE(static_cast<int>(how));
        const test::HoldingProcess holder(path, how);
        const auto named = [&](std::string text) {
            const auto at = text.find('%');
            return at == std::string::npos ? text : text.replace(at, 1, holder.named("core_tests"));
        };
        const auto run = test::runPass(path, {}, false);
        EXPECT_EQ(run.questions, question.empty() ? Texts{} : Texts{named(question)});
        EXPECT_EQ(run.refusal, named(refusal));
        EXPECT_TRUE(test::readFile(path) == original);
    }
    // Ferrowyn's own process is never one of them, nor a process that has ended.
    const int own = ::open(path.c_str(), O_RDONLY);
    const auto run = test::runPass(path, {}, false);
    ::close(own);
    EXPECT_EQ(run.questions, Texts{});
    EXPECT_EQ(run.outcome, PassOutcome::Obliterated);
}
#endif

} // namespace
} // namespace ferrowyn
