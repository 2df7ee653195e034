#include "obliteration/overwrite_pass.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>

using namespace std::chrono_literals;

namespace ferrowyn {
namespace {

using test::TempFolder;
using Texts = std::vector<std::string>;

TEST(OverwritePass, writesWholeBlocksOfSpacesReportingEachBlockAgainstTheCurrentLengthThenDeletes) {
    const std::tuple<std::int64_t, Texts, std::size_t> cases[] = {
        {102400, {"0%", "32%", "64%", "75%"}, 131072},
        {32769, {"0%", "50%"}, 65536},
        {32768, {"0%"}, 32768},
        {100, {"0%"}, 32768},
        {0, {}, 0},
    };
    for (const auto& [size, expected, spaces] : cases) {
        SCOPED_TRACE(size);
        TempFolder folder;
        const auto path = folder / "victim.bin";
        test::writeFile(path, size);
        std::string atLastBlock;
        const auto run = test::runPass(path, {}, true, [&] { atLastBlock = test::readFile(path); });
        EXPECT_EQ(run.refusal, "");
        EXPECT_EQ(run.outcome, test::plainOutcome());
        EXPECT_EQ(run.progress, expected);
        // Read through a descriptor of its own; on Windows the file is held exclusively, so nobody can open it.
        const bool windows = std::filesystem::path::preferred_separator == '\\';
        EXPECT_EQ(atLastBlock, windows ? "" : std::string(spaces, ' '));
        EXPECT_FALSE(std::filesystem::exists(path));
        EXPECT_FALSE(run.channelLeftOpen);
    }
    EXPECT_EQ(progressText(1, 0), "0%"); // a file cut to nothing by another program meanwhile
}

// Between the choice and the pass, another program changes what the chosen name leads to.
TEST(OverwritePass, actsOnlyOnTheFileThatWasChosenAndRefusesAnythingElseBeforeWritingIt) {
    TempFolder folder;
    const auto victim = folder / "victim.txt";
    const auto other = folder / "other" / "victim.txt";
    struct Case {
        const char* reason;
        std::filesystem::path chosen;
        std::function<void()> meanwhile;
    };
    const Case cases[] = {
        {"it no longer exists", victim, [&] { std::filesystem::rename(victim, folder / "moved.txt"); }},
        {"it no longer exists", other, [&] { std::filesystem::rename(folder / "other", folder / "gone"); }},
        {"it was replaced since it was selected", victim, [&] { std::filesystem::rename(other, victim); }},
        // Another folder in its place, holding the very same file under the same name: the folder is not the one.
        {"its folder was replaced since the file was selected", other,
         [&] {
             std::filesystem::rename(folder / "other", folder / "old");
             std::filesystem::create_directory(folder / "other");
             std::filesystem::create_hard_link(folder / "old" / "victim.txt", other);
         }},
        // What the window showed of it no longer holds: its length, or its time.
        {"it changed since it was selected", victim, [&] { std::ofstream(victim, std::ios::app) << "more"; }},
        {"it changed since it was selected", victim,
         [&] { std::filesystem::last_write_time(victim, std::filesystem::last_write_time(victim) + 1s); }},
        // Last: Windows cannot remove a read-only file to make the folder afresh for a next case.
        {"the file is read-only", victim,
         [&] { std::filesystem::permissions(victim, std::filesystem::perms::owner_read); }},
    };
    for (const auto& [reason, chosen, meanwhile] : cases) {
        SCOPED_TRACE(reason);
        std::filesystem::remove_all(folder.path());
        std::filesystem::create_directories(folder / "other");
        test::writeFile(victim, 70000);
        test::writeFile(other, 70000);
        // Every file as it is once the other program is done, which the pass must leave as it is.
        std::map<std::filesystem::path, std::string> before;
        const auto files = [&] {
            std::map<std::filesystem::path, std::string> contents;
            for (const auto& entry : std::filesystem::recursive_directory_iterator(folder.path())) {
                if (entry.is_regular_file()) {
                    contents[entry.path()] = test::readFile(entry.path());
                }
            }
            return contents;
        };
        const auto run = test::runPass(chosen, [&] {
            meanwhile();
            before = files();
        });
        EXPECT_EQ(run.refusal, reason);
        EXPECT_TRUE(run.progress.empty());
        EXPECT_FALSE(run.channelLeftOpen);
        EXPECT_TRUE(files() == before);
        if (reason == std::string("it no longer exists")) {
            EXPECT_FALSE(std::filesystem::exists(chosen)); // nothing made where the file had been
        }
    }
}

// The file's contents have another name too: the user is asked first, and that name is left holding spaces.
TEST(OverwritePass, asksBeforeOverwritingAFileWithOtherNames) {
    TempFolder folder;
    test::writeFile(folder / "chosen.txt", 70000);
    const auto original = test::readFile(folder / "chosen.txt");
    std::filesystem::create_hard_link(folder / "chosen.txt", folder / "other-name.txt");
    const auto declined = test::runPass(folder / "chosen.txt", {}, false);
    // Wine cannot list a file's other names; Windows and Linux name the one in the same folder.
    EXPECT_EQ(declined.questions,
              Texts{test::plainOutcome() == PassOutcome::Obliterated ? "1 other names other-name.txt"
                                                                     : "1 other names"});
    EXPECT_EQ(declined.outcome, PassOutcome::Declined);
    EXPECT_EQ(test::readFile(folder / "chosen.txt"), original);

    const auto accepted = test::runPass(folder / "chosen.txt");
    EXPECT_EQ(accepted.outcome, test::plainOutcome());
    EXPECT_FALSE(std::filesystem::exists(folder / "chosen.txt"));
    const auto left = test::readFile(folder / "other-name.txt");
    EXPECT_EQ(left, std::string(3 * kBlockSize, ' '));
}

} // namespace
} // namespace ferrowyn
