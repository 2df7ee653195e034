#include "main_window/selected_file_path.h"
#include "platform/gui/path_text.h"

namespace ferrowyn {

QString joinFolderAndFile(const QString& folder, const QString& fileName) {
    const QChar separator = folderSeparator();
    return folder.endsWith(separator) ? folder + fileName : folder + separator + fileName;
}

} // namespace ferrowyn
