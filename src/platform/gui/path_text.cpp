#include "platform/gui/path_text.h"
#include "platform/core/path_display.h"

#include <algorithm>
#include <type_traits>

namespace ferrowyn {

QString shownText(const std::filesystem::path& path) {
    // Most names are ASCII, which every form writes alike: their units are copied as they are.
    const auto& native = path.native();
    using Unit = std::make_unsigned_t<std::filesystem::path::value_type>;
    if (!native.empty() &&
        std::all_of(native.begin(), native.end(), [](auto unit) { return static_cast<Unit>(unit) < 0x80; })) {
        QString text(static_cast<qsizetype>(native.size()), Qt::Uninitialized);
        std::transform(native.begin(), native.end(), reinterpret_cast<char16_t*>(text.data()),
                       [](auto unit) { return static_cast<char16_t>(unit); });
        return text;
    }
    return QString::fromStdString(displayText(path));
}

QString breakable(const QString& text) {
    // A zero-width space lets a line break where it stands; a name never shows one of its own (it is escaped). A
    // path breaks after its separators; a run longer than a line holds (a long name) every few characters too.
    constexpr qsizetype kLongRun = 20;
    constexpr qsizetype kStep = 10;
    const auto isBreak = [](QChar c) { return c.isSpace() || c == '/' || c == '\\'; };
    QString result;
    result.reserve(text.size() + text.size() / 4);
    for (qsizetype at = 0; at < text.size();) {
        qsizetype end = at;
        while (end < text.size() && !isBreak(text.at(end))) {
            ++end;
        }
        for (qsizetype i = at; i < end; ++i) {
            result += text.at(i);
            if (end - at > kLongRun && (i - at) % kStep == kStep - 1 && !text.at(i).isHighSurrogate()) {
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
