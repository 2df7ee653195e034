#include "platform/core/path_display.h"

namespace ferrowyn {
namespace {

// The well-formed UTF-8 character that starts `text` at `at` and its length, or a length of 0 when there is none.
std::size_t utf8Character(const std::string& text, std::size_t at, char32_t& character) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead < 0x80) {
        character = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;  // no overlong forms
        high = lead == 0xED ? 0x9F : 0xBF; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF; // nothing past U+10FFFF
    } else {
        return 0;
    }
    if (at + length > text.size() || byte(at + 1) < low || byte(at + 1) > high) {
        return 0;
    }
    character = lead & (0xFF >> (length + 1));
    for (std::size_t i = at + 1; i < at + length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) {
            return 0;
        }
        character = (character << 6) | (byte(i) & 0x3F);
    }
    return length;
}

} // namespace

std::string displayText(const std::filesystem::path& path) {
    // A name is bytes: a backslash may be part of one, and bytes that are no UTF-8 are kept as bytes.
    const std::string& bytes = path.native();
    std::vector<PathUnit> units;
    units.reserve(bytes.size());
    for (std::size_t at = 0; at < bytes.size();) {
        char32_t character = 0;
        if (const std::size_t length = utf8Character(bytes, at, character); length > 0) {
            units.push_back({character, PathUnit::Character});
            at += length;
        } else {
            units.push_back({static_cast<unsigned char>(bytes[at]), PathUnit::Byte});
            ++at;
        }
    }
    return displayUnits(units, false);
}

} // namespace ferrowyn
