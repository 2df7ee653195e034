#include "test_support.h"
#include "obliteration/storage_note.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
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
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr) {
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
        const PassResult result = overwritePass(chosen, channel,
                                                [&](const std::string& text) {
                                                    run.progress.push_back(text);
                                                    if (atEachBlock) {
                                                        atEachBlock();
                                                    }
                                                },
                                                {[&](int others, const std::vector<std::filesystem::path>& found) {
                                                     std::string question =
                                                         std::to_string(others) + " other names";
                                                     for (const auto& name : found) {
                                                         question.append(" ").append(name.string());
                                                     }
                                                     return ask(question);
                                                 },
                                                 ask});
        run.outcome = result.outcome;
        run.whyOldContentsMayRemain = result.whyOldContentsMayRemain;
    } catch (const FileError& error) {
        run.refusal = error.reason();
    }
    run.channelLeftOpen = channel.isOpen();
    return run;
}

} // namespace ferrowyn::test
