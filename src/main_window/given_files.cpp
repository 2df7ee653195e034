#include "main_window/given_files.h"

#include <QCoreApplication>
#include <type_traits>

namespace ferrowyn {
namespace {

constexpr bool kWidePaths = std::is_same_v<std::filesystem::path::value_type, wchar_t>;

} // namespace

std::vector<std::filesystem::path> givenFiles(const std::vector<std::filesystem::path>& arguments) {
    std::vector<std::filesystem::path> files;
    const bool marked = !arguments.empty() && arguments.front() == "--";
    std::error_code gone;
    const auto working = std::filesystem::current_path(gone);
    for (auto argument = arguments.begin() + (marked ? 1 : 0); argument != arguments.end(); ++argument) {
        // Joined by hand: Windows's way of making a path absolute drops a name's trailing dots and spaces.
        const auto& text = argument->native();
        const bool share = text.size() > 1 && text[0] == text[1] && (text[0] == '/' || text[0] == '\\');
        auto file = argument->is_absolute() || share ? *argument : working / *argument;
        files.push_back(file.make_preferred());
    }
    return files;
}

std::vector<std::filesystem::path> commandLineArguments(int argc, char** argv) {
    std::vector<std::filesystem::path> arguments;
    if constexpr (kWidePaths) {
        // Windows hands the program its command line as UTF-16; the narrow argv is a lossy copy of it.
        const QStringList wide = QCoreApplication::arguments();
        for (qsizetype i = 1; i < wide.size(); ++i) {
            arguments.emplace_back(wide.at(i).toStdWString());
        }
    } else {
        for (int i = 1; i < argc; ++i) {
            arguments.emplace_back(argv[i]);
        }
    }
    return arguments;
}

std::vector<std::filesystem::path> droppedFiles(const QList<QUrl>& urls) {
    std::vector<std::filesystem::path> files;
    for (const QUrl& url : urls) {
        if (!url.isLocalFile()) {
            continue;
        }
        if constexpr (kWidePaths) {
            files.push_back(std::filesystem::path(url.toLocalFile().toStdWString()).make_preferred());
        } else {
            // The address's own bytes, so that a name that is not UTF-8 arrives as it is on the disk.
            files.emplace_back(
                QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString());
        }
    }
    return files;
}

} // namespace ferrowyn
