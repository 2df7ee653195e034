#include "platform/core/posix/overlay_layers.h"

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>

namespace ferrowyn {
namespace {

// Splits at each `separator` that no backslash keeps in the text (when `escapes` is true).
std::vector<std::string> split(const std::string& text, char separator, bool escapes) {
    std::vector<std::string> parts(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (escapes && text[i] == '\\' && i + 1 < text.size()) {
            parts.back() += text[++i];
        } else if (text[i] == separator) {
            parts.emplace_back();
        } else {
            parts.back() += text[i];
        }
    }
    return parts;
}

} // namespace

std::optional<OverlayLayers> overlayLayersOf(const Mount& overlay) {
    OverlayLayers layers;
    // The table writes a comma inside an option as an octal escape; the overlay keeps a colon inside a path of
    // its lower layers with a backslash.
    for (std::string option : split(overlay.options, ',', false)) {
        option = decodedField(option);
        if (option.rfind("upperdir=", 0) == 0) {
            layers.upper = option.substr(9);
        } else if (option.rfind("lowerdir=", 0) == 0) {
            for (const std::string& lower : split(option.substr(9), ':', true)) {
                layers.lowers.emplace_back(lower);
            }
        }
    }
    const bool known =
        !layers.lowers.empty() && std::all_of(layers.lowers.begin(), layers.lowers.end(),
                                              [](const auto& lower) { return lower.is_absolute(); });
    return known ? std::optional(layers) : std::nullopt;
}

bool lowerLayerHolds(const OverlayLayers& layers, const std::filesystem::path& within) {
    if (within.empty() || within.is_absolute()) {
        return true;
    }
    for (const auto& lower : layers.lowers) {
        struct stat entry {};
        if (::lstat((lower / within).c_str(), &entry) == 0 || errno != ENOENT) {
            return true;
        }
    }
    return false;
}

} // namespace ferrowyn
