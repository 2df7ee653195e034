#include "platform/core/path_display.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace ferrowyn {
namespace {

struct CodePointRun {
    char32_t first;
    char32_t last;
};

struct CombiningRun {
    char32_t first;
    char32_t last;
    int combiningClass;
};

#include "platform/core/unicode_tables.inc"

// Characters that show nothing, or change how what follows them shows: controls, spaces other than the plain one,
// line and paragraph separators, Unicode's format characters (direction marks and overrides, zero-width ones,
// soft hyphen), fillers and variation selectors.
constexpr CodePointRun kInvisible[] = {
    {0x00, 0x1F},       {0x7F, 0xA0},       {0xAD, 0xAD},       {0x34F, 0x34F},     {0x600, 0x605},
    {0x61C, 0x61C},     {0x6DD, 0x6DD},     {0x70F, 0x70F},     {0x890, 0x891},     {0x8E2, 0x8E2},
    {0x115F, 0x1160},   {0x17B4, 0x17B5},   {0x180B, 0x180F},   {0x2000, 0x200F},   {0x2028, 0x202F},
    {0x205F, 0x206F},   {0x2800, 0x2800},   {0x3000, 0x3000},   {0x3164, 0x3164},   {0xFE00, 0xFE0F},
    {0xFEFF, 0xFEFF},   {0xFFA0, 0xFFA0},   {0xFFF0, 0xFFFB},   {0x110BD, 0x110BD}, {0x110CD, 0x110CD},
    {0x13430, 0x1343F}, {0x1BCA0, 0x1BCA3}, {0x1D173, 0x1D17A}, {0xE0000, 0xE0FFF},
};

// The run of `runs` (in order, not overlapping) that holds `c`, or null.
template <typename Run, std::size_t N> const Run* runHolding(const Run (&runs)[N], char32_t c) {
    const Run* after = std::upper_bound(std::begin(runs), std::end(runs), c,
                                        [](char32_t value, const Run& run) { return value < run.first; });
    return after != std::begin(runs) && c <= (after - 1)->last ? after - 1 : nullptr;
}

int combiningClass(char32_t c) {
    const CombiningRun* run = runHolding(kCombiningRuns, c);
    return run != nullptr ? run->combiningClass : 0;
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

void appendEscaped(std::string& text, const PathUnit& unit) {
    char escaped[12];
    const char* form = unit.kind == PathUnit::Byte ? "\\x%02X" : unit.value > 0xFFFF ? "\\U%08X" : "\\u%04X";
    std::snprintf(escaped, sizeof escaped, form, static_cast<unsigned>(unit.value));
    text += escaped;
}

bool isHexDigit(const PathUnit& unit) {
    const char32_t c = unit.value;
    return unit.kind == PathUnit::Character &&
           ((c >= U'0' && c <= U'9') || (c >= U'A' && c <= U'F') || (c >= U'a' && c <= U'f'));
}

// True when the name in [first, last) begins as an escape would, were a backslash put before it: x, u or U and
// as many hexadecimal digits as that escape has.
bool readsAsEscape(const PathUnit* first, const PathUnit* last) {
    const char32_t c = first->value;
    const std::ptrdiff_t digits = c == U'x' ? 2 : c == U'u' ? 4 : c == U'U' ? 8 : 0;
    return first->kind == PathUnit::Character && digits > 0 && last - first > digits &&
           std::all_of(first + 1, first + 1 + digits, isHexDigit);
}

// Unicode's quick check for NFC, answered yes: every character is one that NFC keeps, and the combining marks
// stand in their canonical order. A name it does not say yes for may have a twin that NFC makes the same.
bool isComposed(const PathUnit* first, const PathUnit* last) {
    int previous = 0;
    for (const PathUnit* unit = first; unit != last; ++unit) {
        if (unit->kind != PathUnit::Character) {
            previous = 0;
            continue;
        }
        const int current = combiningClass(unit->value);
        if (runHolding(kNfcMayChange, unit->value) != nullptr || (current != 0 && current < previous)) {
            return false;
        }
        previous = current;
    }
    return true;
}

void appendName(std::string& shown, const PathUnit* first, const PathUnit* last, bool windows,
                bool afterBackslash) {
    const bool composed = isComposed(first, last);
    bool escapedBefore = true; // a combining mark at the start would sit on whatever precedes the name
    for (const PathUnit* unit = first; unit != last; ++unit) {
        const char32_t c = unit->value;
        if (unit->kind == PathUnit::Character && c == U'\\' && !windows) {
            shown += "\\\\";
            escapedBefore = true;
            continue;
        }
        const int combining = combiningClass(c);
        const bool escaped = unit->kind != PathUnit::Character || runHolding(kInvisible, c) != nullptr ||
                             (c == U' ' && (unit == first || unit + 1 == last)) ||
                             (combining != 0 && (escapedBefore || !composed)) ||
                             (!composed && runHolding(kNfcMayChange, c) != nullptr) ||
                             (windows && afterBackslash && unit == first && readsAsEscape(first, last));
        if (escaped) {
            appendEscaped(shown, *unit);
        } else {
            appendUtf8(shown, c);
        }
        escapedBefore = escaped;
    }
}

} // namespace

std::vector<PathUnit> utf16Units(std::u16string_view text) {
    std::vector<PathUnit> units;
    units.reserve(text.size());
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char32_t unit = text[at];
        const bool pair = unit >= 0xD800 && unit <= 0xDBFF && at + 1 < text.size() && text[at + 1] >= 0xDC00 &&
                          text[at + 1] <= 0xDFFF;
        if (pair) {
            units.push_back({0x10000 + ((unit - 0xD800) << 10) + (text[++at] - 0xDC00), PathUnit::Character});
        } else {
            const bool half = unit >= 0xD800 && unit <= 0xDFFF;
            units.push_back({unit, half ? PathUnit::LoneHalf : PathUnit::Character});
        }
    }
    return units;
}

std::string displayUnits(const std::vector<PathUnit>& units, bool windows) {
    const auto separates = [windows](const PathUnit& unit) {
        return unit.kind == PathUnit::Character && (unit.value == U'/' || (windows && unit.value == U'\\'));
    };
    std::string shown;
    shown.reserve(units.size());
    const PathUnit* const end = units.data() + units.size();
    for (const PathUnit* name = units.data();;) {
        const PathUnit* const separator = std::find_if(name, end, separates);
        const bool afterBackslash = name != units.data() && (name - 1)->value == U'\\';
        appendName(shown, name, separator, windows, afterBackslash);
        if (separator == end) {
            return shown;
        }
        appendUtf8(shown, separator->value);
        name = separator + 1;
    }
}

} // namespace ferrowyn
