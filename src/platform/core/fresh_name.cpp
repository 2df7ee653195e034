#include "platform/core/fresh_name.h"

#include <random>

namespace ferrowyn {

std::filesystem::path freshNameLike(const std::filesystem::path& name) {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    static std::mt19937_64 random{std::random_device()()};
    std::filesystem::path::string_type fresh(name.native().size(), 'x');
    for (auto& letter : fresh) {
        letter = static_cast<std::filesystem::path::value_type>(kLetters[random() % (sizeof kLetters - 1)]);
    }
    return fresh;
}

} // namespace ferrowyn
