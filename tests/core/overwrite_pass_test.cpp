#include "obliteration/overwrite_pass.h"
#include "test_support.h"

#include <gtest/gtest.h>


namespace ferrowyn {
namespace {

using test::TempFolder;
using Texts = std::vector<std::string>;

TEST(OverwritePass, writesWholeBlocksOfSpacesReportingEachBlockAgainstTheCurrentLengthThenDeletes) {
    const std::pair<std::int64_t, Texts> cases[] = {
        {102400, {"0%", "32%", "64%", "75%"}}, {32769, {"0%", "50%"}}, {32768, {"0%"}}, {100, {"0%"}}, {0, {}},
    };
    for (const auto& [size, expected] : cases) {
        SCOPED_TRACE(size);
        TempFolder folder;
        const auto path = folder / "victim.bin";
        test::writeFile(path, size);
        const ChosenFile chosen = chooseFile(folder.path(), "victim.bin");
        EXPECT_EQ(chosen.length, size);
        std::string atLastBlock;
        Texts progress;
        FileChannel channel;
        const auto outcome = overwritePass(
            chosen, channel,
            [&](const std::string& text) {
                progress.push_back(text);
                atLastBlock = test::readFile(path); // through a descriptor of its own
            },
            [](const std::string&) { return false; });
        EXPECT_EQ(outcome, PassOutcome::Obliterated);
        EXPECT_EQ(progress, expected);
        if (test::kOthersCanReadDuringThePass) {
            EXPECT_EQ(atLastBlock.size(), static_cast<std::size_t>((size + kBlockSize - 1) / kBlockSize * kBlockSize));
            EXPECT_TRUE(test::isAllSpaces(atLastBlock));
        } else {
            EXPECT_EQ(atLastBlock, ""); // held exclusively: nobody else can even open it
        }
        EXPECT_FALSE(std::filesystem::exists(path));
        EXPECT_FALSE(channel.isOpen());
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
        {"it was replaced since it was selected", other,
         [&] {
             std::filesystem::rename(folder / "other", folder / "old");
             std::filesystem::create_directory(folder / "other");
             test::writeFile(other, 70000);
         }},
        {"the file is read-only", victim, [&] { std::filesystem::permissions(victim, std::filesystem::perms::owner_read); }},
    };
    for (const auto& [reason, chosen, meanwhile] : cases) {
        SCOPED_TRACE(reason);
        std::filesystem::remove_all(folder.path());
        std::filesystem::create_directories(folder / "other");
        test::writeFile(victim, 70000);
        test::writeFile(other, 70000);
        const auto original = test::readFile(other);
        const auto run = test::runPass(chosen, meanwhile);
        EXPECT_EQ(run.refusal, reason);
        EXPECT_TRUE(run.progress.empty());
        EXPECT_FALSE(run.channelLeftOpen);
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder.path())) {
            if (entry.is_regular_file()) {
                EXPECT_EQ(test::readFile(entry.path()), original) << entry.path();
            }
        }
        if (reason == std::string("it no longer exists")) {
            EXPECT_FALSE(std::filesystem::exists(chosen)); // nothing made where the file had been
        }
    }
}

} // namespace
} // namespace ferrowyn
