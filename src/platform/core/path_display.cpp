#include "platform/core/path_display.h"

#include <cstdio>
#include <iterator>

namespace ferrowyn {
namespace {

struct Range {
    char32_t first;
    char32_t last;
};

// Characters that show nothing, or change how what follows them shows: controls, line and paragraph
// separators, and Unicode's format characters (direction marks and overrides, zero-width ones, soft hyphen).
constexpr Range kInvisible[] = {
    {0x00, 0x1F},       {0x7F, 0x9F},       {0xAD, 0xAD},       {0x600, 0x605},     {0x61C, 0x61C},
    {0x6DD, 0x6DD},     {0x70F, 0x70F},     {0x890, 0x891},     {0x8E2, 0x8E2},     {0x180E, 0x180E},
    {0x200B, 0x200F},   {0x2028, 0x202E},   {0x2060, 0x2064},   {0x2066, 0x206F},   {0xFEFF, 0xFEFF},
    {0xFFF9, 0xFFFB},   {0x110BD, 0x110BD}, {0x110CD, 0x110CD}, {0x13430, 0x1343F}, {0x1BCA0, 0x1BCA3},
    {0x1D173, 0x1D17A}, {0xE0001, 0xE0001}, {0xE0020, 0xE007F},
};

bool isInvisible(char32_t character) {
    for (const Range& range : kInvisible) {
        if (character >= range.first && character <= range.last) {
            return true;
        }
    }
    return false;
}

void appendUtf8(std::string& text, char32_t c) {
    if (c < 0x80) {
        text += static_cast<char>(c);
    } else if (c < 0x800) {
        text += static_cast<char>(0xC0 | (c >> 6));
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        text += static_cast<char>(0xE0 | (c >> 12));
        text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (c >> 18));
        text += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace

void appendShown(std::string& shown, char32_t character) {
    // Unpaired UTF-16 halves come here as themselves, and are escaped like the invisible ones.
    const bool unpaired = character >= 0xD800 && character <= 0xDFFF;
    if (isInvisible(character) || unpaired) {
        char escaped[12];
        std::snprintf(escaped, sizeof escaped, character > 0xFFFF ? "\\U%08X" : "\\u%04X",
                      static_cast<unsigned>(character));
        shown += escaped;
    } else {
        appendUtf8(shown, character);
    }
}

} // namespace ferrowyn
