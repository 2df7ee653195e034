#include "platform/gui/path_text.h"
#include "platform/core/path_display.h"

namespace ferrowyn {

QString shownText(const std::filesystem::path& path) {
    return QString::fromStdString(displayText(path));
}

QString breakable(const QString& text) {
    // A zero-width space lets a line break where it stands; a name never shows one of its own (it is escaped). A
    // path breaks after its separators first.
    constexpr int kLongestRun = 16;
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
