#include "settings/last_folder.h"
#include "platform/gui/settings_backend.h"

namespace ferrowyn {
namespace {

const QString kApplication = QStringLiteral("Ferrowyn");
const QString kSection = QStringLiteral("Settings");
const QString kKey = QStringLiteral("CurPath");

} // namespace

QString readLastFolder(const QString& defaultFolder) {
    return readSetting(kApplication, kSection, kKey, defaultFolder);
}

void saveLastFolder(const QString& folder) {
    saveSetting(kApplication, kSection, kKey, folder);
}

} // namespace ferrowyn
