#include "platform/gui/sorted_names.h"
#include "platform/gui/path_text.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace ferrowyn {
namespace {

// What a case-insensitive QString::compare weighs at `at`: the character folded to its case-free form; the second
// half of a surrogate pair stands for the whole code point.
char32_t foldedBeyondAscii(const char16_t* text, qsizetype at) {
    const char16_t unit = text[at];
    if (QChar::isLowSurrogate(unit) && at > 0 && QChar::isHighSurrogate(text[at - 1])) {
        return QChar::toCaseFolded(QChar::surrogateToUcs4(text[at - 1], unit));
    }
    return QChar::toCaseFolded(char32_t{unit});
}

// The same, with ASCII, the common case, folded here.
inline char32_t foldedAt(const char16_t* text, qsizetype at) {
    const char16_t unit = text[at];
    if (unit < 0x80) {
        return unit >= u'A' && unit <= u'Z' ? unit + (u'a' - u'A') : unit;
    }
    return foldedBeyondAscii(text, at);
}

// Negative, zero or positive as `a` sorts before, with or after `b`: by a.compare(b, Qt::CaseInsensitive), and
// texts that differ only in case by a < b. One pass, folding only where the two differ: a unit that is the same in
// both folds the same, as everything before it folds alike.
int compareTexts(QStringView a, QStringView b) {
    const char16_t* x = a.utf16();
    const char16_t* y = b.utf16();
    const qsizetype common = std::min(a.size(), b.size());
    int byCase = 0;
    for (qsizetype at = 0; at < common; ++at) {
        if (x[at] == y[at]) {
            continue;
        }
        const char32_t foldedX = foldedAt(x, at);
        const char32_t foldedY = foldedAt(y, at);
        if (foldedX != foldedY) {
            return foldedX < foldedY ? -1 : 1;
        }
        if (byCase == 0) {
            byCase = x[at] < y[at] ? -1 : 1;
        }
    }
    if (a.size() != b.size()) {
        return a.size() < b.size() ? -1 : 1;
    }
    return byCase;
}

// Eight units of a text, from a given place, as its order sees them: folded, and packed so that two keys compare
// as their texts do over those eight units. A text that ends leaves zeros, below every character; a folded code
// point beyond 16 bits leaves the highest value there and in every place after it, so that two keys that reach
// one compare equal from there, and the texts decide.
struct SortKey {
    std::uint64_t head = 0;
    std::uint64_t tail = 0;
    std::uint32_t row = 0;
};

bool sameKey(const SortKey& a, const SortKey& b) {
    return a.head == b.head && a.tail == b.tail;
}

SortKey keyOf(QStringView text, qsizetype from, std::uint32_t row) {
    SortKey key;
    key.row = row;
    bool beyond = false;
    for (int slot = 0; slot < 8; ++slot) {
        const qsizetype at = from + slot;
        std::uint64_t value = 0;
        if (!beyond && at < text.size()) {
            const char32_t folded = foldedAt(text.utf16(), at);
            beyond = folded > 0xFFFF;
            value = beyond ? 0xFFFF : folded;
        } else if (beyond) {
            value = 0xFFFF;
        }
        std::uint64_t& half = slot < 4 ? key.head : key.tail;
        half = half << 16 | value;
    }
    return key;
}

// How many units every text begins with alike; the keys start after them.
qsizetype sharedStart(const std::vector<ShownName>& rows) {
    if (rows.empty()) {
        return 0;
    }
    const QString& first = rows.front().text;
    qsizetype shared = first.size();
    for (const ShownName& row : rows) {
        shared = std::min(shared, row.text.size());
        shared = std::mismatch(first.begin(), first.begin() + shared, row.text.begin()).first - first.begin();
    }
    return shared;
}

// Sorts the keys of entries whose texts fold alike before `from`: by their keys, in one block of memory, then each
// run of equal keys by the next eight units of its texts, and so on; a text is read once per round. Texts whose
// keys are equal up to their end, or to a code point beyond 16 bits, are compared whole.
void sortKeys(const std::vector<ShownName>& rows, SortKey* first, SortKey* last, qsizetype from) {
    std::sort(first, last, [](const SortKey& a, const SortKey& b) {
        return a.head != b.head ? a.head < b.head : a.tail < b.tail;
    });
    const auto wholeOrder = [&rows](const SortKey& a, const SortKey& b) {
        const ShownName& x = rows[a.row];
        const ShownName& y = rows[b.row];
        const int order = compareTexts(x.text, y.text);
        return order != 0 ? order < 0 : x.name < y.name;
    };
    for (SortKey* run = first; run != last;) {
        SortKey* const end =
            std::find_if(run + 1, last, [run](const SortKey& key) { return !sameKey(key, *run); });
        const std::uint64_t lastUnit = run->tail & 0xFFFF;
        if (lastUnit == 0 || lastUnit == 0xFFFF) {
            std::sort(run, end, wholeOrder);
        } else if (end - run > 1) {
            for (SortKey* key = run; key != end; ++key) {
                *key = keyOf(rows[key->row].text, from + 8, key->row);
            }
            sortKeys(rows, run, end, from + 8);
        }
        run = end;
    }
}

} // namespace

std::vector<ShownName> sortedForShowing(std::vector<std::filesystem::path> names) {
    std::vector<ShownName> rows;
    rows.reserve(names.size());
    for (auto& name : names) {
        QString text = shownText(name);
        rows.push_back({std::move(text), std::move(name)});
    }
    names = {};

    const qsizetype from = sharedStart(rows);
    std::vector<SortKey> keys;
    keys.reserve(rows.size());
    for (std::size_t row = 0; row < rows.size(); ++row) {
        keys.push_back(keyOf(rows[row].text, from, static_cast<std::uint32_t>(row)));
    }
    sortKeys(rows, keys.data(), keys.data() + keys.size(), from);

    // Each entry moves once, to its place, one cycle of the order at a time; `source[place]` is the row that
    // belongs at `place`, and becomes `place` once it is there.
    std::vector<std::uint32_t> source(keys.size());
    std::transform(keys.begin(), keys.end(), source.begin(), [](const SortKey& key) { return key.row; });
    keys = {};
    for (std::uint32_t start = 0; start < source.size(); ++start) {
        if (source[start] == start) {
            continue;
        }
        ShownName held = std::move(rows[start]);
        std::uint32_t place = start;
        while (source[place] != start) {
            rows[place] = std::move(rows[source[place]]);
            place = std::exchange(source[place], place);
        }
        rows[place] = std::move(held);
        source[place] = place;
    }
    return rows;
}

} // namespace ferrowyn
