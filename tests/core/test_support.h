#pragma once

#include "obliteration/overwrite_pass.h"
#include "platform/core/file_error.h"

#include <cstdint>
#include <filesystem>
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
// What a plain pass ends with here: Obliterated, but under Wine, whose drives are Unix folders that only
// pretend to be NTFS, that the old contents may remain.
PassOutcome plainOutcome();
// What the outcome says of the drive that holds `folder`, after its first line.
std::string storageNoteFor(const std::filesystem::path& folder);
// Runs a shell command quietly; true when it succeeded.
bool run(const std::string& command);

// One pass over a file, chosen first as the window chooses it, with what it reported; a file that cannot be
// chosen is refused too.
struct PassRun {
    std::vector<std::string> progress;
    std::vector<std::string> questions; // "2 other names", or why the old contents may remain
    PassOutcome outcome = PassOutcome::Declined;
    std::string whyOldContentsMayRemain;
    std::string refusal; // the failure's reason, or empty
    bool channelLeftOpen = false;
};
// `between` runs after the file is chosen and before the pass, `whileAsked` while a question before the first
// write waits for its answer, `atEachBlock` after each block is written: what another program might do meanwhile.
PassRun runPass(const std::filesystem::path& path, const std::function<void()>& between = {}, bool goOn = true,
                const std::function<void()>& atEachBlock = {}, const std::function<void()>& whileAsked = {});

#ifndef _WIN32
// A process of the test's own (a child, under the test program's name) that holds a file until it goes out of
// scope: open, open and locked (flock), open with a lease, or mapped into its memory and closed.
class HoldingProcess {
public:
    enum How { Open, Locked, Leased, Mapped };
    HoldingProcess(const std::filesystem::path& path, How how);
    ~HoldingProcess() { end(); }
    HoldingProcess(const HoldingProcess&) = delete;
    HoldingProcess& operator=(const HoldingProcess&) = delete;

    int process() const { return m_process; }
    // "core_tests (process 1234)"
    std::string named(const std::string& program) const {
        return program + " (process " + std::to_string(m_process) + ")";
    }

private:
    void end();
    int m_process = -1;
};
#endif

} // namespace ferrowyn::test
