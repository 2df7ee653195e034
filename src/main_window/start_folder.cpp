#include "main_window/start_folder.h"
#include "platform/core/folder_path.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace ferrowyn {

void leaveProgramFolder() {
    // The program's folder as the system gave it: UTF-16 on Windows, the local encoding's bytes on Linux.
    const QString folder = QCoreApplication::applicationDirPath();
    std::filesystem::path programFolder;
    if constexpr (kWidePaths) {
        programFolder = folder.toStdWString();
    } else {
        programFolder = QFile::encodeName(folder).toStdString();
    }
    std::error_code error;
    const auto program = std::filesystem::canonical(programFolder, error);
    const auto working = error ? std::filesystem::path() : std::filesystem::canonical(workingFolder(), error);
    if (error || program.empty() || working.empty() || !isWithin(working, program)) {
        return;
    }
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty() || !QDir::setCurrent(documents)) {
        QDir::setCurrent(QDir::homePath());
    }
}

} // namespace ferrowyn
