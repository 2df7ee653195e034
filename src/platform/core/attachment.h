#pragma once

#include "platform/core/block_map.h"

#include <cstdint>
#include <optional>
#include <string>

namespace ferrowyn {

// Data a file carries besides its contents, which goes with it when it is deleted: on Linux its extended
// attributes in the user's namespace (the address a download came from, tags, comments), on Windows its named
// streams (Zone.Identifier, or a user's own data).
struct Attachment {
    std::string name; // as a person reads it: "user.xdg.origin.url", ":Zone.Identifier"
    std::int64_t length = 0;
    // Where its bytes lay before and after it was overwritten, where the file system shows that.
    std::optional<BlockMap> before;
    std::optional<BlockMap> after;
    std::string failure; // why it could not be overwritten, in the OS's words; empty when it was
};

} // namespace ferrowyn
