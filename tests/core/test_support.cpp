#include "test_support.h"
#include "obliteration/storage_note.h"
#include "platform/core/failure_words.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#ifdef _WIN32
#include "platform/core/win32/drive_facts_reading.h"
#include "platform/core/win32/storage_reading.h"

#include <windows.h>
#else
#include "platform/core/posix/storage_reading.h"

#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace ferrowyn::test {

TempFolder::TempFolder()
    : m_path(std::filesystem::temp_directory_path() /
             ("ferrowyn-test-" + std::to_string(std::random_device()()))) {
    if (!std::filesystem::create_directory(m_path)) {
        throw std::runtime_error("cannot make " + m_path.string());
    }
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    // A test may have taken the write permission away; give it back so that everything can go.
    for (auto& entry : std::filesystem::recursive_directory_iterator(m_path, ignored)) {
        if (!entry.is_symlink(ignored)) {
            std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ignored);
        }
    }
    std::filesystem::remove_all(m_path, ignored);
}

void writeFile(const std::filesystem::path& path, std::int64_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (std::int64_t i = 0; i < size; ++i) {
        out.put(static_cast<char>('a' + i % 26));
    }
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

PassOutcome plainOutcome() {
#ifdef _WIN32
    if (runsUnderWine()) {
        return PassOutcome::OldContentsMayRemain;
    }
#endif
    return PassOutcome::Obliterated;
}

std::string storageNoteFor(const std::filesystem::path& folder) {
#ifdef _WIN32
    const HANDLE open = CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    const std::string note = storageNote(storageUnder(open));
    CloseHandle(open);
#else
    const int open = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const std::string note = storageNote(storageUnder(open));
    ::close(open);
#endif
    return note;
}

bool run(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

bool isAllSpaces(const std::string& bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return c == ' '; });
}

PassRun runPass(const std::filesystem::path& path, const std::function<void()>& between, bool goOn,
                const std::function<void()>& atEachBlock, const std::function<void()>& whileAsked) {
    PassRun run;
    FileChannel channel;
    const auto ask = [&](const std::string& question) {
        run.questions.push_back(question);
        if (whileAsked) {
            whileAsked();
        }
        return goOn;
    };
    try {
        const ChosenFile chosen = chooseFile(path.parent_path(), path.filename());
        if (between) {
            between();
        }
        const PassResult result =
            overwritePass(chosen, channel,
                          [&](const std::string& text) {
                              run.progress.push_back(text);
                              if (atEachBlock) {
                                  atEachBlock();
                              }
                          },
                          {[&](int others, const std::vector<std::filesystem::path>& found) {
                               std::string question = std::to_string(others) + " other names";
                               for (const auto& name : found) {
                                   question.append(" ").append(name.string());
                               }
                               return ask(question);
                           },
                           ask,
                           [&](const std::vector<FileHolder>& holders) {
                               return ask(std::string("open in ").append(words::programsNamed(holders)));
                           }});
        run.outcome = result.outcome;
        run.whyOldContentsMayRemain = result.whyOldContentsMayRemain;
    } catch (const FileError& error) {
        run.refusal = error.reason();
    }
    run.channelLeftOpen = channel.isOpen();
    return run;
}

#ifndef _WIN32
HoldingProcess::HoldingProcess(const std::filesystem::path& path, How how) {
    int ready[2];
    if (::pipe(ready) != 0 || (m_process = ::fork()) < 0) {
        throw std::runtime_error("cannot start a process to hold " + path.string());
    }
    if (m_process == 0) {            // only calls that are safe between fork and exec in a program with threads
        std::signal(SIGIO, SIG_IGN); // a broken lease's signal
        const int fd = ::open(path.c_str(), how == Leased ? O_RDONLY : O_RDWR);
        const bool holds =
            how == Locked   ? ::flock(fd, LOCK_EX) == 0
            : how == Leased ? ::fcntl(fd, F_SETLEASE, F_RDLCK) == 0
            : how == Mapped
                ? ::mmap(nullptr, 1, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0) != MAP_FAILED && ::close(fd) == 0
                : fd >= 0;
        if (holds && ::write(ready[1], "h", 1) == 1) {
            ::pause();
        }
        ::_exit(1);
    }
    ::close(ready[1]);
    char held = 0;
    const bool holds = ::read(ready[0], &held, 1) == 1;
    ::close(ready[0]);
    if (!holds) {
        end();
        throw std::runtime_error("the process could not hold " + path.string());
    }
}

void HoldingProcess::end() {
    ::kill(m_process, SIGKILL);
    ::waitpid(m_process, nullptr, 0);
}
#endif

} // namespace ferrowyn::test
