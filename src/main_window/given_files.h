#pragma once

#include <QString>
#include <QUrl>
#include <filesystem>
#include <vector>

namespace ferrowyn {

// The program's command line, "ferrowyn [Qt's options] [--] FILE...", where "--" ends every option, Qt's
// included: Qt is shown the program's name and what comes before the first "--" and takes its own options from
// there, so that a file named like one of them ("-reverse", "-style") is a file after the mark.
class CommandLine {
public:
    CommandLine(int argc, char** argv);

    // For QApplication, which takes its options out of them.
    int& qtArgc() { return m_qtArgc; }
    char** qtArgv() { return m_qtArgv.data(); }

    // Once Qt has taken its options: the program's own arguments, in order, each as the system gave it (bytes on
    // Linux, UTF-16 on Windows); none is ever quoted or split again.
    std::vector<std::filesystem::path> arguments() const;

private:
    std::vector<std::filesystem::path> m_system;
    std::vector<char*> m_argv;
    std::vector<char*> m_qtArgv;
    int m_qtArgc;
    int m_mark; // where the first "--" stands, or the end
};

// One file brought to the window: its path, or an address that is not a file of this computer, with why it is
// refused.
struct GivenFile {
    std::filesystem::path path;
    QString address;
    QString refusal;
};

// The files given on the command line, relative ones taken against the working folder, in the order given.
std::vector<std::filesystem::path> givenFiles(const std::vector<std::filesystem::path>& arguments);

// The files dropped on the window, in order, each local one as its exact path. A file URL with another host (on
// Linux: a host other than this computer; on Windows a host names a network share) and any other scheme are
// refused.
std::vector<GivenFile> droppedFiles(const QList<QUrl>& urls);

} // namespace ferrowyn
