#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace ferrowyn {

// One named data stream of an NTFS file, besides its contents (the unnamed stream).
struct NamedStream {
    std::u16string name; // ":Zone.Identifier"
    std::int64_t size = 0;

    friend bool operator==(const NamedStream&, const NamedStream&) = default;
};

// The named data streams in the list Windows gives for a file (FILE_STREAM_INFO records, little-endian, each
// 8-byte aligned): its unnamed stream and any stream that is not data are left out. A record that runs past the
// end of `list` ends it.
std::vector<NamedStream> parseStreamList(std::span<const std::byte> list);

} // namespace ferrowyn
