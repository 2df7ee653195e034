#include "platform/file_channel.h"
#include "platform/file_error.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <string_view>

namespace ferrowyn {
namespace {

using test::TempFolder;

std::span<const std::byte> bytesOf(std::string_view text) {
    return std::as_bytes(std::span(text.data(), text.size()));
}

std::string text(const std::filesystem::path& path) {
    const auto utf8 = path.u8string();
    return {utf8.begin(), utf8.end()};
}

TEST(FileChannel, createsAMissingFileEmptyAndWritesPastItsEndWith64BitOffsets) {
    TempFolder folder;
    const auto path = folder / "new.bin";
    FileChannel channel;
    channel.open(path);
    ASSERT_TRUE(channel.isOpen());
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(channel.length(), 0);

    // Beyond 4 GiB, where a 32-bit offset or length would wrap; the gap stays sparse on disk.
    constexpr std::int64_t far = (std::int64_t{1} << 32) + 5;
    channel.writeAt(far, bytesOf("end"));
    channel.writeAt(0, bytesOf("start"));
    EXPECT_EQ(channel.length(), far + 3);
    channel.close();
    EXPECT_FALSE(channel.isOpen());
    EXPECT_EQ(std::filesystem::file_size(path), static_cast<std::uintmax_t>(far + 3));
    EXPECT_NO_THROW(channel.close()); // a second close does nothing
}

TEST(FileChannel, failuresNameTheActionThePathAndTheOsReason) {
    TempFolder folder;
    const auto missing = folder / "no-folder" / "a.txt";
    const auto opening = test::errorOpening(missing);
    ASSERT_TRUE(opening.has_value()) << "opened a file in a missing folder";
    EXPECT_FALSE(opening->reason().empty());
    EXPECT_EQ(opening->what(), "Cannot open " + text(missing) + " for writing: " + opening->reason());
    try {
        deleteFile(missing);
        ADD_FAILURE() << "deleting a missing file succeeded";
    } catch (const FileError& error) {
        EXPECT_EQ(error.what(), "Cannot delete " + text(missing) + ": " + error.reason());
        EXPECT_EQ(error.path(), missing);
    }
    FileChannel channel;
    EXPECT_THROW((void)channel.length(), FileError); // not open
}

} // namespace
} // namespace ferrowyn
