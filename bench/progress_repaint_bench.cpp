// What showing the progress costs: the pass over a large file, run off the event loop's thread as the window runs
// it, with each new percentage handed to a real label that repaints on every change, against the same pass with
// its progress thrown away.
//
// usage: bench_progress_repaint [folder] [size in MiB]     (defaults: the system's temporary folder, 2048)

#include "obliteration/overwrite_pass.h"
#include "platform/widgets/label.h"
#include "platform/widgets/off_loop_job.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QLabel>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
        }
        return QObject::eventFilter(watched, event);
    }
};

// A file of `size` bytes of data, written out: the pass passes over the holes of a sparse one.
void makeFile(const std::filesystem::path& path, std::int64_t size) {
    const std::string chunk(1 << 20, 'x');
    std::ofstream file(path, std::ios::binary);
    for (std::int64_t written = 0; written < size; written += static_cast<std::int64_t>(chunk.size())) {
        file.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    }
}

double timedPass(const std::filesystem::path& path, std::int64_t size, const ferrowyn::ProgressSink& sink) {
    makeFile(path, size);
    ferrowyn::FileChannel channel;
    QElapsedTimer timer;
    timer.start();
    ferrowyn::runOffEventLoop([&] {
        ferrowyn::overwritePass(ferrowyn::chooseFile(path.parent_path(), path.filename()), channel, sink,
                                {[](int, const auto&) { return true; }, [](const std::string&) { return true; },
                                 [](const auto&) { return true; }});
    });
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const std::filesystem::path folder = argc > 1 ? argv[1] : std::filesystem::temp_directory_path().string();
    const std::int64_t size = (argc > 2 ? std::atoll(argv[2]) : 2048) * 1024 * 1024;
    const auto path = folder / "ferrowyn-repaint-bench.bin";

    ferrowyn::Label label;
    label.resize(145, 17);
    label.setAlignment(ferrowyn::Label::AlignCentre);
    label.show();
    QApplication::processEvents();
    int changes = 0;
    QObject::connect(&label, &ferrowyn::Label::Change, &label, [&] {
        ++changes;
        label.Refresh();
    });
    PaintCounter counter;
    label.findChild<QLabel*>()->installEventFilter(&counter);

    try {
        // The first pass over a fresh file costs more on some file systems, so one untimed pass goes first; then
        // the two kinds take turns and each keeps its best time.
        std::int64_t blocks = 0;
        const auto discard = [](const std::string&) {};
        std::string shownText;
        const auto show = [&](const std::string& text) {
            ++blocks;
            if (text != shownText) {
                shownText = text;
                ferrowyn::postToEventLoop(
                    [&label, caption = QString::fromStdString(text)] { label.setCaption(caption); });
            }
        };
        timedPass(path, size, discard);
        double hidden = 1e9;
        double shown = 1e9;
        for (int round = 0; round < 2; ++round) {
            hidden = std::min(hidden, timedPass(path, size, discard));
            shown = std::min(shown, timedPass(path, size, show));
        }
        blocks /= 2;
        std::printf("file: %s, %lld MiB, %lld blocks\n", path.c_str(), static_cast<long long>(size >> 20),
                    static_cast<long long>(blocks));
        std::printf("label changes: %d, repaints: %d (over two passes)\n", changes, counter.paints);
        std::printf("pass with the label: %.3f s, without: %.3f s (best of two each)\n", shown, hidden);
        std::printf("label_overhead_percent: %.1f\n", (shown - hidden) / hidden * 100.0);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bench_progress_repaint: %s\n", error.what());
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
        return 1;
    }
    return 0;
}
