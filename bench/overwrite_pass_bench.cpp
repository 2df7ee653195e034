// Measures the overwrite pass against the device's limit: a plain loop of large positioned writes and one fsync
// over an identical file, in the same run. The last line, pass_vs_plain_ratio, sets the whole pass against the
// plain overwrite followed by the same delete.
//
// usage: bench_overwrite_pass [folder] [size in MiB]     (defaults: the system's temporary folder, 256)

#include "obliteration/overwrite_pass.h"
#include "platform/core/file_channel.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::int64_t kMiB = 1024 * 1024;
constexpr std::int64_t kPlainChunk = 8 * kMiB;

// A file of `size` bytes of non-space content, already on the device, so both runs start alike.
void makeFile(const std::filesystem::path& path, std::int64_t size) {
    const std::vector<char> chunk(static_cast<std::size_t>(kPlainChunk), 'x');
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    bool ok = fd >= 0;
    for (std::int64_t offset = 0; ok && offset < size; offset += kPlainChunk) {
        const auto count = static_cast<std::size_t>(std::min(kPlainChunk, size - offset));
        ok = ::pwrite(fd, chunk.data(), count, offset) == static_cast<ssize_t>(count);
    }
    ok = ok && ::fsync(fd) == 0;
    if (fd >= 0) {
        ::close(fd);
    }
    if (!ok) {
        throw std::runtime_error("cannot make " + path.string());
    }
}

// The device's limit: the OS's own calls, large writes, one fsync, nothing else.
void plainOverwrite(const std::filesystem::path& path, std::int64_t size, const std::vector<std::byte>& spaces) {
    const int fd = ::open(path.c_str(), O_RDWR);
    bool ok = fd >= 0;
    for (std::int64_t offset = 0; ok && offset < size; offset += kPlainChunk) {
        ok = ::pwrite(fd, spaces.data(), spaces.size(), offset) == static_cast<ssize_t>(spaces.size());
    }
    ok = ok && ::fsync(fd) == 0;
    if (fd >= 0) {
        ::close(fd);
    }
    if (!ok) {
        throw std::runtime_error("the plain overwrite of " + path.string() + " failed");
    }
}

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

long peakRssKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

int main(int argc, char** argv) {
    const std::filesystem::path folder = argc > 1 ? argv[1] : std::filesystem::temp_directory_path();
    const std::int64_t size = (argc > 2 ? std::atoll(argv[2]) : 256) * kMiB;
    const auto path = folder / "ferrowyn-bench.bin";
    const double mib = static_cast<double>(size) / static_cast<double>(kMiB);

    try {
        makeFile(path, size);
        const long rssBefore = peakRssKiB();
        std::size_t reports = 0;
        ferrowyn::FileChannel channel;
        auto start = Clock::now();
        ferrowyn::overwritePass(ferrowyn::chooseFile(folder, path.filename()), channel,
                                [&](const std::string&) { ++reports; },
                                {[](int, const auto&) { return true; }, [](const std::string&) { return true; },
                                 [](const auto&) { return true; }});
        const double passSeconds = secondsSince(start);
        const long rssAfter = peakRssKiB();

        makeFile(path, size);
        std::vector<std::byte> spaces(static_cast<std::size_t>(kPlainChunk), std::byte{0x20});
        start = Clock::now();
        plainOverwrite(path, size, spaces);
        const double plainSeconds = secondsSince(start);
        start = Clock::now();
        std::filesystem::remove(path);
        const double deleteSeconds = secondsSince(start);
        // The pass deletes the file too, and freeing a large file takes real time on some file systems, so
        // the like-for-like figure gives the plain overwrite the same delete.
        const double plainAndDelete = plainSeconds + deleteSeconds;

        std::printf("file: %s, %.0f MiB\n", path.c_str(), mib);
        std::printf("pass:  %.3f s, %.1f MiB/s, %zu progress reports\n", passSeconds, mib / passSeconds, reports);
        std::printf("plain: %.3f s, %.1f MiB/s (8 MiB writes, one fsync)\n", plainSeconds, mib / plainSeconds);
        std::printf("delete of the plain file: %.3f s; plain with delete: %.1f MiB/s\n", deleteSeconds,
                    mib / plainAndDelete);
        std::printf("peak_rss_kib: before pass %ld, after pass %ld\n", rssBefore, rssAfter);
        std::printf("pass_vs_plain_without_delete: %.3f\n", plainSeconds / passSeconds);
        std::printf("pass_vs_plain_ratio: %.3f\n", plainAndDelete / passSeconds);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bench_overwrite_pass: %s\n", error.what());
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
        return 1;
    }
    return 0;
}
