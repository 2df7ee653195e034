// Measures what finding the other programs that have the chosen file adds to a pass: the look-up among this
// machine's processes, then among as many more processes of our own as a desktop runs, each holding descriptors
// and memory maps as desktop programs do: while nobody else has the file, while one has it open for reading, and
// while one has it in a shared map it can write to (the look-up's slowest road); and, in the same run, a whole
// pass over the file, which the look-up's time is set against.
//
// usage: bench_file_holders [processes] [descriptors each] [maps each] [file size in MiB]
//        (defaults: 300, 64, 400, 1)

#include "obliteration/overwrite_pass.h"
#include "platform/core/file_channel.h"
#include "platform/core/posix/file_holders_reading.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// How many processes /proc shows, and of how many this user may read the descriptors.
std::pair<int, int> processCount() {
    int shown = 0;
    int readable = 0;
    DIR* proc = ::opendir("/proc");
    while (const dirent* entry = proc != nullptr ? ::readdir(proc) : nullptr) {
        if (std::all_of(entry->d_name, entry->d_name + std::strlen(entry->d_name), ::isdigit)) {
            ++shown;
            readable += ::access(("/proc/" + std::string(entry->d_name) + "/fd").c_str(), R_OK) == 0 ? 1 : 0;
        }
    }
    if (proc != nullptr) {
        ::closedir(proc);
    }
    return {shown, readable};
}

// The look-up's time over `rounds` rounds: the median and the slowest, in milliseconds, and what it found.
struct Timing {
    double median = 0;
    double slowest = 0;
    std::size_t found = 0;
};
Timing timeLookUp(int fd, int rounds) {
    std::vector<double> times;
    Timing timing;
    for (int round = 0; round < rounds; ++round) {
        const auto start = Clock::now();
        timing.found = ferrowyn::holdersOf(fd).size();
        times.push_back(millisecondsSince(start));
    }
    std::sort(times.begin(), times.end());
    timing.median = times[times.size() / 2];
    timing.slowest = times.back();
    return timing;
}

// A process that holds `descriptors` descriptors and `maps` maps of `ballast` (one in twenty shared, as a desktop
// program's shared memory is), until the pipe `until` ends. With `file`: it holds that file too, open for reading
// or, `mapped`, in a shared map it can write to, its descriptor closed.
pid_t startProcess(const std::filesystem::path& ballast, int descriptors, int maps, const int (&until)[2],
                   const std::filesystem::path& file = {}, bool mapped = false) {
    const pid_t process = ::fork();
    if (process != 0) {
        return process;
    }
    ::close(until[1]);
    const int fd = ::open(ballast.c_str(), O_RDWR);
    for (int i = 1; i < descriptors; ++i) {
        ::dup(fd);
    }
    for (int i = 0; i < maps; ++i) { // each a map of its own: their offsets do not follow on
        ::mmap(nullptr, 4096, PROT_READ, i % 20 == 0 ? MAP_SHARED : MAP_PRIVATE, fd, 0);
    }
    if (!file.empty()) {
        const int held = ::open(file.c_str(), mapped ? O_RDWR : O_RDONLY);
        if (mapped) {
            ::mmap(nullptr, 4096, PROT_READ | PROT_WRITE, MAP_SHARED, held, 0);
            ::close(held);
        }
    }
    char end = 0;
    while (::read(until[0], &end, 1) > 0) {
    }
    ::_exit(0);
}

} // namespace

int main(int argc, char** argv) {
    const int processes = argc > 1 ? std::atoi(argv[1]) : 300;
    const int descriptors = argc > 2 ? std::atoi(argv[2]) : 64;
    const int maps = argc > 3 ? std::atoi(argv[3]) : 400;
    const std::int64_t size = (argc > 4 ? std::atoll(argv[4]) : 1) * 1024 * 1024;
    const auto folder =
        std::filesystem::temp_directory_path() / ("ferrowyn-bench-holders-" + std::to_string(::getpid()));
    std::vector<pid_t> started;
    int until[2] = {-1, -1};
    int status = 0;
    try {
        std::filesystem::create_directory(folder);
        const auto file = folder / "document.txt";
        const auto ballast = folder / "ballast.bin";
        std::ofstream(ballast) << std::string(4096, 'b');
        std::ofstream(file) << std::string(static_cast<std::size_t>(size), 'x');
        if (::pipe(until) != 0) {
            throw std::runtime_error("cannot make a pipe");
        }
        // The look-up as the pass makes it, through a descriptor of the file open for reading.
        const auto lookUp = [&] {
            const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
            const Timing timing = timeLookUp(fd, 21);
            ::close(fd);
            return timing;
        };
        const auto [machine, machineReadable] = processCount();
        const Timing alone = lookUp();
        for (int i = 0; i < processes; ++i) {
            started.push_back(startProcess(ballast, descriptors, maps, until));
        }
        // One more program that has the file, as a reader, then as a shared map it can write to.
        const std::filesystem::path none;
        std::vector<Timing> held;
        for (const bool mapped : {false, true}) {
            const pid_t holder = startProcess(ballast, descriptors, maps, until, file, mapped);
            ::usleep(300000); // for every process to have its descriptors and maps
            held.push_back(lookUp());
            ::kill(holder, SIGKILL);
            ::waitpid(holder, nullptr, 0);
        }
        const auto [desktop, desktopReadable] = processCount();
        const Timing nobody = lookUp();

        ferrowyn::FileChannel channel;
        const auto start = Clock::now();
        ferrowyn::overwritePass(ferrowyn::chooseFile(folder, file.filename()), channel, [](const std::string&) {},
                                {[](int, const auto&) { return true; }, [](const std::string&) { return true; },
                                 [](const auto&) { return true; }});
        const double passMs = millisecondsSince(start);

        std::printf("processes: %d on this machine (%d whose descriptors it may read); with ours %d (%d), each of "
                    "ours holding %d descriptors and %d maps\n",
                    machine, machineReadable, desktop, desktopReadable, descriptors, maps);
        const auto line = [](const char* what, int count, const Timing& timing) {
            std::printf("lookup_ms %-44s %4d processes: median %7.2f, slowest %7.2f, %zu found\n", what, count,
                        timing.median, timing.slowest, timing.found);
        };
        line("(nobody else has the file), this machine:", machine, alone);
        line("(nobody else has the file), with ours:", desktop, nobody);
        line("(one has it open for reading), with ours:", desktop + 1, held[0]);
        line("(one has it in a shared map), with ours:", desktop + 1, held[1]);
        std::printf("pass_ms: %.2f, a %lld MiB file that nobody else has, with %d processes, look-up included\n",
                    passMs, static_cast<long long>(size / 1024 / 1024), desktop);
        const double slowest = std::max({nobody.slowest, held[0].slowest, held[1].slowest});
        std::printf("lookup_vs_pass: %.3f (nobody else), %.3f (a shared map)\n", nobody.median / passMs,
                    held[1].median / passMs);
        std::printf("lookup_slowest_ms: %.2f, within 50 ms: %s\n", slowest, slowest <= 50 ? "yes" : "no");
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bench_file_holders: %s\n", error.what());
        status = 1;
    }
    ::close(until[0]);
    ::close(until[1]);
    for (const pid_t process : started) {
        ::waitpid(process, nullptr, 0);
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return status;
}
