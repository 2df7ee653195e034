#pragma once

#include "obliteration/overwrite_pass.h"
#include "platform/file_error.h"
#include "platform/folder_listing.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace ferrowyn::test {

// A fresh folder under the system's temporary folder, removed with everything in it at the end of the test.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

// A file of `size` bytes of varied, non-space content.
void writeFile(const std::filesystem::path& path, std::int64_t size);
std::string readFile(const std::filesystem::path& path);
bool isAllSpaces(const std::string& bytes);
// Keeps every progress text a pass reports.
struct Recorder {
    std::vector<std::string> texts;
    ProgressSink sink() {
        return [this](const std::string& text) { texts.push_back(text); };
    }
};

// Runs the pass on `path` and returns the reason it was refused for, or "not refused". A refused pass must
// report no progress and leave the channel closed.
std::string refusalOfPass(const std::filesystem::path& path);

// The error that opening `path` on a fresh channel raises, or none when it opens.
std::optional<FileError> errorOpening(const std::filesystem::path& path);

// The names listFolder() gives, sorted.
std::vector<std::string> sortedNames(const std::filesystem::path& folder, EntryKind kind);

// Takes the write permission away from everyone (on Windows: sets the read-only attribute).
void makeReadOnly(const std::filesystem::path& path);

} // namespace ferrowyn::test
