#include "platform/core/stream_list.h"

namespace ferrowyn {
namespace {

std::uint64_t readLittleEndian(std::span<const std::byte> bytes, std::size_t at, std::size_t width) {
    std::uint64_t value = 0;
    for (std::size_t i = width; i-- > 0;) {
        value = (value << 8) | static_cast<std::uint8_t>(bytes[at + i]);
    }
    return value;
}

} // namespace

std::vector<NamedStream> parseStreamList(std::span<const std::byte> list) {
    // NextEntryOffset, StreamNameLength (bytes), StreamSize, StreamAllocationSize, then the name in UTF-16.
    constexpr std::size_t kHeader = 24;
    const std::u16string dataType = u":$DATA";
    std::vector<NamedStream> streams;
    for (std::size_t at = 0; at + kHeader <= list.size();) {
        const auto next = static_cast<std::size_t>(readLittleEndian(list, at, 4));
        const auto nameBytes = static_cast<std::size_t>(readLittleEndian(list, at + 4, 4));
        if (nameBytes % 2 != 0 || at + kHeader + nameBytes > list.size()) {
            break;
        }
        std::u16string name(nameBytes / 2, u'\0');
        for (std::size_t i = 0; i < name.size(); ++i) {
            name[i] = static_cast<char16_t>(readLittleEndian(list, at + kHeader + 2 * i, 2));
        }
        // ":name:$DATA"; the unnamed stream is "::$DATA".
        if (name.size() > dataType.size() + 1 && name.ends_with(dataType)) {
            streams.push_back({name.substr(0, name.size() - dataType.size()),
                               static_cast<std::int64_t>(readLittleEndian(list, at + 8, 8))});
        }
        if (next == 0) {
            break;
        }
        at += next;
    }
    return streams;
}

} // namespace ferrowyn
