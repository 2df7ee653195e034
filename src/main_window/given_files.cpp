#include "main_window/given_files.h"
#include "platform/core/command_line.h"
#include "platform/core/folder_path.h"

#include <algorithm>
#include <cstring>

namespace ferrowyn {
CommandLine::CommandLine(int argc, char** argv)
    : m_system(systemArguments(argc, argv)), m_argv(argv, argv + argc) {
    const auto mark = std::find_if(m_argv.begin() + std::min(argc, 1), m_argv.end(),
                                   [](const char* argument) { return std::strcmp(argument, "--") == 0; });
    m_mark = static_cast<int>(mark - m_argv.begin());
    m_qtArgv.assign(m_argv.begin(), mark);
    m_qtArgv.push_back(nullptr);
    m_qtArgc = m_mark;
    if (m_system.size() != m_argv.size()) {
        // The runtime expanded wildcards in the narrow copy: the system's own list is not matched to it.
        m_system.assign(m_argv.begin(), m_argv.end());
    }
}

std::vector<std::filesystem::path> CommandLine::arguments() const {
    std::vector<std::filesystem::path> arguments;
    const auto leftByQt = [this](const char* argument) {
        return std::find(m_qtArgv.begin() + 1, m_qtArgv.begin() + m_qtArgc, argument) !=
               m_qtArgv.begin() + m_qtArgc;
    };
    for (int i = 1; i < static_cast<int>(m_argv.size()); ++i) {
        if (i > m_mark || (i < m_mark && leftByQt(m_argv[static_cast<std::size_t>(i)]))) {
            arguments.push_back(m_system[static_cast<std::size_t>(i)]);
        }
    }
    return arguments;
}

std::vector<std::filesystem::path> givenFiles(const std::vector<std::filesystem::path>& arguments) {
    std::vector<std::filesystem::path> files;
    std::error_code gone;
    const auto working = std::filesystem::current_path(gone);
    for (const auto& argument : arguments) {
        // Joined by hand: Windows's way of making a path absolute drops a name's trailing dots and spaces.
        const auto& text = argument.native();
        const bool share = text.size() > 1 && text[0] == text[1] && (text[0] == '/' || text[0] == '\\');
        auto file = argument.is_absolute() || share ? argument : working / argument;
        files.push_back(file.make_preferred());
    }
    return files;
}

std::vector<GivenFile> droppedFiles(const QList<QUrl>& urls) {
    std::vector<GivenFile> files;
    for (const QUrl& url : urls) {
        const bool thisComputer = kWidePaths || url.host().isEmpty() || url.host() == QStringLiteral("localhost");
        if (!url.isLocalFile() || !thisComputer) {
            files.push_back(
                {{}, url.toString(QUrl::FullyEncoded), QStringLiteral("it is not a file on this computer")});
        } else if constexpr (kWidePaths) {
            files.push_back({std::filesystem::path(url.toLocalFile().toStdWString()).make_preferred(), {}, {}});
        } else {
            // The address's own bytes, so that a name that is not UTF-8 arrives as it is on the disk.
            files.push_back(
                {QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString(), {}, {}});
        }
    }
    return files;
}

} // namespace ferrowyn
