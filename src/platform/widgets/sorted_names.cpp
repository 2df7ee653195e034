#include "platform/widgets/sorted_names.h"
#include "platform/widgets/path_text.h"

#include <algorithm>
#include <cstdint>
#include <string>

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

// The shown texts of the names being sorted, end to end, made once: each round of keys reads them again.
class ShownTexts {
public:
    explicit ShownTexts(const NameList& names) {
        m_texts.reserve(names.size(), names.units()); // as long as the names, but for escapes
        std::u16string text;
        for (std::size_t at = 0; at < names.size(); ++at) {
            text.clear();
            appendShownText(names[at], text);
            m_texts.add(text);
        }
    }
    std::size_t size() const { return m_texts.size(); }
    QStringView operator[](std::size_t at) const {
        const std::u16string_view text = m_texts[at];
        return QStringView(text.data(), static_cast<qsizetype>(text.size()));
    }

private:
    PackedStrings<char16_t> m_texts;
};

// How many units every text begins with alike; the keys start after them.
qsizetype sharedStart(const ShownTexts& texts) {
    if (texts.size() == 0) {
        return 0;
    }
    const QStringView first = texts[0];
    qsizetype shared = first.size();
    for (std::size_t at = 0; at < texts.size(); ++at) {
        const QStringView text = texts[at];
        shared = std::min(shared, text.size());
        shared = std::mismatch(first.begin(), first.begin() + shared, text.begin()).first - first.begin();
    }
    return shared;
}

// Sorts the keys of entries whose texts fold alike before `from`: by their keys, in one block of memory, then each
// run of equal keys by the next eight units of its texts, and so on; a text is read once per round. Texts whose
// keys are equal up to their end, or to a code point beyond 16 bits, are compared whole; names whose texts are
// equal, by their units.
void sortKeys(const NameList& names, const ShownTexts& texts, SortKey* first, SortKey* last, qsizetype from) {
    std::sort(first, last, [](const SortKey& a, const SortKey& b) {
        return a.head != b.head ? a.head < b.head : a.tail < b.tail;
    });
    const auto wholeOrder = [&](const SortKey& a, const SortKey& b) {
        const int order = compareTexts(texts[a.row], texts[b.row]);
        return order != 0 ? order < 0 : names[a.row] < names[b.row];
    };
    for (SortKey* run = first; run != last;) {
        SortKey* const end =
            std::find_if(run + 1, last, [run](const SortKey& key) { return !sameKey(key, *run); });
        const std::uint64_t lastUnit = run->tail & 0xFFFF;
        if (lastUnit == 0 || lastUnit == 0xFFFF) {
            std::sort(run, end, wholeOrder);
        } else if (end - run > 1) {
            for (SortKey* key = run; key != end; ++key) {
                *key = keyOf(texts[key->row], from + 8, key->row);
            }
            sortKeys(names, texts, run, end, from + 8);
        }
        run = end;
    }
}

} // namespace

std::vector<std::uint32_t> sortedForShowing(const NameList& names) {
    std::vector<SortKey> keys;
    {
        const ShownTexts texts(names);
        const qsizetype from = sharedStart(texts);
        keys.reserve(texts.size());
        for (std::size_t row = 0; row < texts.size(); ++row) {
            keys.push_back(keyOf(texts[row], from, static_cast<std::uint32_t>(row)));
        }
        sortKeys(names, texts, keys.data(), keys.data() + keys.size(), from);
    }
    std::vector<std::uint32_t> order(keys.size());
    std::transform(keys.begin(), keys.end(), order.begin(), [](const SortKey& key) { return key.row; });
    return order;
}

} // namespace ferrowyn
