#include "platform/widgets/settings_backend.h"
#include "platform/core/failure_words.h"
#include "platform/widgets/path_text.h"

#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <filesystem>
#include <memory>
#include <stdexcept>

namespace ferrowyn {
namespace {

const QString kOrganization = QStringLiteral("Ferrowyn");

QString& testFolder() {
    static QString folder;
    return folder;
}

QString keyOf(const QString& section, const QString& key) {
    return section + '/' + key;
}

std::filesystem::path pathOf(const QString& file) {
    return std::filesystem::path(file.toStdU16String());
}

// Why the file cannot be the store: something other than a regular file stands in its place. It is looked at
// without being opened: opening a pipe waits for a writer, and a device may never end.
std::string refusalOf(const QString& file) {
    const QFileInfo place(file);
    if (file.isEmpty() || !place.exists() || place.isFile()) {
        return {};
    }
    return place.isDir() ? words::kFolder : words::kNotRegular;
}

std::unique_ptr<QSettings> openStore(const QString& file, const QString& application) {
    if (file.isEmpty()) {
        return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, kOrganization,
                                           application);
    }
    return std::make_unique<QSettings>(file, QSettings::IniFormat);
}

// Why `file` could not be written, as the system says it for the first step that fails: making its folder, then
// making a file beside it.
std::string whyNotWritten(const QString& file) {
    std::error_code error;
    std::filesystem::create_directories(pathOf(file).parent_path(), error);
    if (error) {
        return error.message();
    }
    QTemporaryFile beside(file + QStringLiteral(".XXXXXX"));
    if (!beside.open()) {
        return beside.errorString().toStdString();
    }
    return "the system gave no reason";
}

} // namespace

QString settingsFile(const QString& application) {
    QString folder = testFolder();
#ifndef Q_OS_WIN
    if (folder.isEmpty()) {
        folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    }
#endif
    return folder.isEmpty() ? QString()
                            : folder + '/' + kOrganization + '/' + application + QStringLiteral(".conf");
}

void keepSettingsIn(const QString& folder) {
    testFolder() = folder;
}

QVariant readSetting(const QString& application, const QString& section, const QString& key,
                     const QVariant& defaultValue) {
    const QString file = settingsFile(application);
    if (const auto refusal = refusalOf(file); !refusal.empty()) {
        throw std::runtime_error("Cannot read the settings file " + shownText(pathOf(file)).toStdString() + ": " +
                                 refusal +
                                 ". Ferrowyn starts as it does the first time, and remembers nothing this time");
    }
    return openStore(file, application)->value(keyOf(section, key), defaultValue);
}

void saveSetting(const QString& application, const QString& section, const QString& key, const QVariant& value) {
    const QString file = settingsFile(application);
    if (!refusalOf(file).empty()) {
        return;
    }
    const auto settings = openStore(file, application);
    settings->setValue(keyOf(section, key), value);
    settings->sync();
    // A damaged file read on the way in leaves a format error behind, although the write replaced it: only an
    // access error means the value was not stored.
    if (settings->status() == QSettings::AccessError) {
        const std::string why = file.isEmpty() ? "the registry did not take it" : whyNotWritten(file);
        const QString where = file.isEmpty() ? settings->fileName() : shownText(pathOf(file));
        throw std::runtime_error("Cannot save the setting " + key.toStdString() + " in " + where.toStdString() +
                                 ": " + why);
    }
}

} // namespace ferrowyn
