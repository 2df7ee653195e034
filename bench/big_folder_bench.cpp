// How long Ferrowyn takes to start on a large folder, from the process's start to its window painted with the
// folder's entries, against `ls` sorting the same folder in the same run; and the peak memory of that start beside
// the same start on an empty folder.
//
// usage: bench_big_folder [number of files]     (default 200000; the folders are made in the system's temp folder)
//
// The program is the one the user starts, shown on Qt's offscreen platform, in a folder of its own, with a
// settings store of its own that remembers that folder; FERROWYN_QUIT_WHEN_PAINTED ends it once its window is
// painted. The names mix cases, and a quarter of them are not ASCII. The start and `ls` take turns, five times
// each, and each keeps its best time; `ls` runs with this program's locale, its output thrown away.

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct Run {
    double seconds;
    double peakMegabytes;
};

// The folder this run makes, taken away at its end, whatever the end.
std::filesystem::path scratch;

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "bench_big_folder: %s\n", what.c_str());
    std::error_code ignored;
    std::filesystem::remove_all(scratch, ignored);
    std::exit(1);
}

// Runs `argv` in `folder` with `environment` added to this program's own, and waits for its end.
Run timed(const std::vector<std::string>& argv, const std::filesystem::path& folder,
          const std::vector<std::pair<std::string, std::string>>& environment, bool quiet) {
    std::fflush(stdout);
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        std::vector<char*> args;
        for (const std::string& arg : argv) {
            args.push_back(const_cast<char*>(arg.c_str()));
        }
        args.push_back(nullptr);
        for (const auto& [name, value] : environment) {
            ::setenv(name.c_str(), value.c_str(), 1);
        }
        if (quiet) {
            std::freopen("/dev/null", "w", stdout);
        }
        ::alarm(120); // a start that never paints ends here
        if (::chdir(folder.c_str()) == 0) {
            ::execvp(args.front(), args.data());
        }
        std::_Exit(127);
    }
    int status = 0;
    rusage usage{};
    if (child < 0 || ::wait4(child, &status, 0, &usage) != child) {
        fail("cannot start " + argv.front());
    }
    const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        fail(argv.front() + " failed in " + folder.string());
    }
    return {seconds.count(), static_cast<double>(usage.ru_maxrss) / 1024.0};
}

// Ferrowyn started in `folder`, remembering it, until its window is painted.
Run timedStart(const std::filesystem::path& folder) {
    const auto config = scratch / ("config-" + folder.filename().string());
    std::filesystem::create_directories(config / "Ferrowyn");
    std::ofstream(config / "Ferrowyn" / "Ferrowyn.conf") << "[Settings]\nCurPath=" << folder.string() << "\n";
    return timed({FERROWYN_PROGRAM}, folder,
                 {{"QT_QPA_PLATFORM", "offscreen"},
                  {"XDG_CONFIG_HOME", config.string()},
                  {"XDG_RUNTIME_DIR", (scratch / "runtime").string()},
                  {"FERROWYN_QUIT_WHEN_PAINTED", "1"}},
                 false);
}

std::string loadAverage() {
    std::string load;
    std::getline(std::ifstream("/proc/loadavg"), load);
    return load.substr(0, load.find(' '));
}

} // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    const int count = argc > 1 ? std::atoi(argv[1]) : 200000;
    std::string made = (std::filesystem::temp_directory_path() / "ferrowyn-bench-XXXXXX").string();
    if (::mkdtemp(made.data()) == nullptr) {
        fail("cannot make a folder in " + std::filesystem::temp_directory_path().string());
    }
    scratch = made;
    const auto big = scratch / "big";
    const auto empty = scratch / "empty";
    std::filesystem::create_directory(big);
    std::filesystem::create_directory(empty);
    std::filesystem::create_directory(scratch / "runtime");
    std::filesystem::permissions(scratch / "runtime", std::filesystem::perms::owner_all);
    const char* const patterns[] = {"File %06d.txt", "file %06d.TXT", "Photo_%06d.jpg",
                                    "R\xC3\xA9sum\xC3\xA9 %06d.odt"};
    for (int i = 0; i < count; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, patterns[i % 4], count - i);
        if (!std::ofstream(big / name)) {
            fail("cannot make " + (big / name).string());
        }
    }
    std::printf("files: %d, locale: %s, load average before: %s\n", count, std::setlocale(LC_COLLATE, nullptr),
                loadAverage().c_str());

    timed({"ls", "-1", big.string()}, big, {}, true); // the folder read once from disk, for both
    Run start = timedStart(big);
    Run ls{1e9, 0};
    for (int round = 0; round < 5; ++round) {
        ls.seconds = std::min(ls.seconds, timed({"ls", "-1", big.string()}, big, {}, true).seconds);
        const Run again = timedStart(big);
        std::printf("round %d: start %.3f s, %.1f MB\n", round + 1, again.seconds, again.peakMegabytes);
        start = {std::min(start.seconds, again.seconds), std::max(start.peakMegabytes, again.peakMegabytes)};
    }
    Run emptyStart = timedStart(empty);
    for (int round = 1; round < 3; ++round) {
        const Run again = timedStart(empty);
        emptyStart = {std::min(emptyStart.seconds, again.seconds),
                      std::max(emptyStart.peakMegabytes, again.peakMegabytes)};
    }
    std::filesystem::remove_all(scratch);

    std::printf("load average after: %s\n", loadAverage().c_str());
    std::printf("start_seconds: %.3f\n", start.seconds);
    std::printf("ls_seconds: %.3f\n", ls.seconds);
    std::printf("start_vs_ls_ratio: %.2f\n", start.seconds / ls.seconds);
    std::printf("start_megabytes: %.1f\n", start.peakMegabytes);
    std::printf("empty_folder_start_seconds: %.3f\n", emptyStart.seconds);
    std::printf("empty_folder_start_megabytes: %.1f\n", emptyStart.peakMegabytes);
    std::printf("bytes_per_name: %.0f\n",
                (start.peakMegabytes - emptyStart.peakMegabytes) * 1024 * 1024 / std::max(count, 1));
    return 0;
}
