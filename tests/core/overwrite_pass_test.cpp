#include "obliteration/overwrite_pass.h"
#include "platform/file_error.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace ferrowyn {
namespace {

using test::Recorder;
using test::TempFolder;
using Texts = std::vector<std::string>;

TEST(OverwritePass, reportsEachBlockStartAgainstTheFileLengthAfterTheBlock) {
    const std::pair<std::int64_t, Texts> cases[] = {
        {102400, {"0%", "32%", "64%", "75%"}}, {32769, {"0%", "50%"}}, {32768, {"0%"}}, {100, {"0%"}}, {0, {}},
    };
    for (const auto& [size, expected] : cases) {
        SCOPED_TRACE(size);
        TempFolder folder;
        const auto path = folder / "victim.bin";
        test::writeFile(path, size);
        FileChannel channel;
        Recorder recorder;
        overwritePass(path, channel, recorder.sink());
        EXPECT_EQ(recorder.texts, expected);
        EXPECT_FALSE(std::filesystem::exists(path));
        EXPECT_FALSE(channel.isOpen());
    }
}

TEST(OverwritePass, leavesOnlyWholeBlocksOfSpacesJustBeforeTheDelete) {
    for (const std::int64_t size : {100, 32768, 102400}) {
        SCOPED_TRACE(size);
        TempFolder folder;
        const auto path = folder / "victim.bin";
        test::writeFile(path, size);
        const std::size_t blocks = static_cast<std::size_t>((size + kBlockSize - 1) / kBlockSize);
        std::string lastSeen;
        std::size_t reports = 0;
        FileChannel channel;
        overwritePass(path, channel, [&](const std::string&) {
            if (++reports == blocks) {
                lastSeen = test::readFile(path); // through a descriptor of its own
            }
        });
        EXPECT_EQ(lastSeen.size(), blocks * kBlockSize);
        EXPECT_TRUE(test::isAllSpaces(lastSeen));
        EXPECT_FALSE(std::filesystem::exists(path));
    }
}

TEST(OverwritePass, createsAndDeletesAMissingFileInAnExistingFolder) {
    TempFolder folder;
    FileChannel channel;
    Recorder recorder;
    overwritePass(folder / "missing.txt", channel, recorder.sink());
    EXPECT_TRUE(recorder.texts.empty());
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

TEST(OverwritePass, refusesReadOnlyFilesAndFoldersBeforeWritingAnything) {
    TempFolder folder;
    test::writeFile(folder / "readonly.txt", 100);
    const auto original = test::readFile(folder / "readonly.txt");
    test::makeReadOnly(folder / "readonly.txt");
    std::filesystem::create_directory(folder / "sub");

    EXPECT_EQ(test::refusalOfPass(folder / "readonly.txt"), "the file is read-only");
    EXPECT_EQ(test::refusalOfPass(folder / "sub"), "it is a folder");
    EXPECT_EQ(test::readFile(folder / "readonly.txt"), original);
    EXPECT_TRUE(std::filesystem::is_directory(folder / "sub"));
}

} // namespace
} // namespace ferrowyn
