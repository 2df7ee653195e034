#include "platform/widgets/path_text.h"
#include "platform/core/path_display.h"

#include <algorithm>
#include <type_traits>

namespace ferrowyn {
namespace {

using Unit = std::filesystem::path::value_type;

// Most names are printable ASCII, which displayText writes as it is: their units are copied. A backslash, a
// control character and a space at either end of a name are not.
bool showsAsItIs(std::basic_string_view<Unit> native) {
    const auto size = native.size();
    const auto plain = [&](std::size_t at) {
        const auto unit = static_cast<std::make_unsigned_t<Unit>>(native[at]);
        if (unit < 0x20 || unit >= 0x7F || unit == '\\') {
            return false;
        }
        return unit != ' ' || (at > 0 && native[at - 1] != '/' && at + 1 < size && native[at + 1] != '/');
    };
    bool copied = size > 0;
    for (std::size_t at = 0; copied && at < size; ++at) {
        copied = plain(at);
    }
    return copied;
}

} // namespace

QString shownText(const std::filesystem::path& path) {
    const auto& native = path.native();
    if (!showsAsItIs(native)) {
        return QString::fromStdString(displayText(path));
    }
    QString text(static_cast<qsizetype>(native.size()), Qt::Uninitialized);
    std::transform(native.begin(), native.end(), reinterpret_cast<char16_t*>(text.data()),
                   [](auto unit) { return static_cast<char16_t>(unit); });
    return text;
}

void appendShownText(std::basic_string_view<Unit> name, std::u16string& texts) {
    if (showsAsItIs(name)) {
        texts.append(name.begin(), name.end());
        return;
    }
    const QString text = QString::fromStdString(displayText(std::filesystem::path(name)));
    texts.append(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size()));
}

QString breakable(const QString& text) {
    // A zero-width space lets a line break where it stands; a name never shows one of its own (it is escaped). A
    // path breaks after its separators; a run longer than a line holds (a long name) every few characters too.
    constexpr qsizetype kLongRun = 20;
    constexpr qsizetype kStep = 10;
    // On Linux a backslash is part of a name, doubled when shown: no place to break.
    const auto isBreak = [](QChar c) {
        return c.isSpace() || c == '/' || c == QChar(std::filesystem::path::preferred_separator);
    };
    QString result;
    result.reserve(text.size() + text.size() / 4);
    for (qsizetype at = 0; at < text.size();) {
        qsizetype end = at;
        while (end < text.size() && !isBreak(text.at(end))) {
            ++end;
        }
        for (qsizetype i = at; i < end; ++i) {
            result += text.at(i);
            if (text.at(i) == '\\') {
                result += QChar(0x2060); // a word joiner: an escape or a doubled backslash stays on its line
            } else if (end - at > kLongRun && (i - at) % kStep == kStep - 1 && !text.at(i).isHighSurrogate()) {
                result += QChar(0x200B);
            }
        }
        if (end < text.size()) {
            result += text.at(end);
            if (!text.at(end).isSpace()) {
                result += QChar(0x200B);
            }
        }
        at = end + 1;
    }
    return result;
}

} // namespace ferrowyn
