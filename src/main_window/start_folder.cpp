#include "main_window/start_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace ferrowyn {
namespace {

#ifdef Q_OS_WIN
constexpr Qt::CaseSensitivity kNameCase = Qt::CaseInsensitive;
#else
constexpr Qt::CaseSensitivity kNameCase = Qt::CaseSensitive;
#endif

// Both canonical ("/" as separator): the folder is `outer` itself or lies inside it.
bool isWithin(const QString& folder, const QString& outer) {
    const QString prefix = outer.endsWith('/') ? outer : outer + '/';
    return folder.compare(outer, kNameCase) == 0 || folder.startsWith(prefix, kNameCase);
}

} // namespace

void leaveProgramFolder() {
    const QString programFolder = QFileInfo(QCoreApplication::applicationDirPath()).canonicalFilePath();
    const QString working = QDir::current().canonicalPath();
    if (programFolder.isEmpty() || working.isEmpty() || !isWithin(working, programFolder)) {
        return;
    }
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty() || !QDir::setCurrent(documents)) {
        QDir::setCurrent(QDir::homePath());
    }
}

} // namespace ferrowyn
