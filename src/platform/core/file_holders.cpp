#include "platform/core/file_holders.h"
#include "platform/core/path_display.h"

#include <algorithm>

namespace ferrowyn {
namespace {

std::uint32_t readLittleEndian32(std::span<const std::byte> bytes) {
    std::uint32_t value = 0;
    for (std::size_t i = 4; i-- > 0;) {
        value = (value << 8) | static_cast<std::uint8_t>(bytes[i]);
    }
    return value;
}

// The UTF-16 text in `field`, up to its first zero.
std::u16string textIn(std::span<const std::byte> field) {
    std::u16string text;
    for (std::size_t at = 0; at + 1 < field.size(); at += 2) {
        const auto unit = static_cast<char16_t>(static_cast<std::uint8_t>(field[at]) |
                                                static_cast<std::uint8_t>(field[at + 1]) << 8);
        if (unit == 0) {
            break;
        }
        text += unit;
    }
    return text;
}

} // namespace

std::vector<FileHolder> holdersFromProcessList(std::span<const std::byte> list, std::uint32_t ownProcess) {
    constexpr std::size_t kName = 12;     // strAppName: 256 characters and the zero
    constexpr std::size_t kService = 524; // strServiceShortName: 64 characters and the zero
    std::vector<FileHolder> holders;
    for (std::size_t at = 0; at + kProcessInfoSize <= list.size(); at += kProcessInfoSize) {
        const auto record = list.subspan(at, kProcessInfoSize);
        const std::uint32_t process = readLittleEndian32(record);
        const auto seen = [&](const FileHolder& holder) { return holder.process == process; };
        if (process == ownProcess || std::any_of(holders.begin(), holders.end(), seen)) {
            continue;
        }
        std::u16string name = textIn(record.subspan(kName, kService - kName));
        if (name.empty()) {
            name = textIn(record.subspan(kService, 130));
        }
        holders.push_back({process, name.empty() ? std::string() : displayUnits(utf16Units(name), true)});
    }
    std::sort(holders.begin(), holders.end(),
              [](const FileHolder& a, const FileHolder& b) { return a.process < b.process; });
    return holders;
}

} // namespace ferrowyn
