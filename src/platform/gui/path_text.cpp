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
    // path breaks after its separators first.
    constexpr int kLongestRun = 10;
    QString result;
    result.reserve(text.size() + text.size() / 4);
    int run = 0;
    for (const QChar c : text) {
        result += c;
        run = c.isSpace() ? 0 : run + 1;
        if ((c == '/' || c == '\\' || run >= kLongestRun) && !c.isHighSurrogate()) {
            result += QChar(0x200B);
            run = 0;
        }
    }
    return result;
}

} // namespace ferrowyn
