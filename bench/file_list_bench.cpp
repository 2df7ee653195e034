// How long the file list takes to read, sort and show a large folder, against `ls` sorting the same folder in the
// same run, and how much memory showing it takes.
//
// usage: bench_file_list [number of files]     (default 200000; the folder is made in the system's temp folder)
//
// The names mix cases, and a quarter of them are not ASCII. The list and `ls` take turns, three times each, and
// each keeps its best time; `ls` runs with this program's locale, its output thrown away. The memory is the growth
// of the peak resident size while the list shows the folder the first time.

#include "platform/gui/file_list_box.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>

namespace {

// A figure of /proc/self/status, in kB.
long statusKilobytes(const std::string& field) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(field + ":", 0) == 0) {
            return std::stol(line.substr(field.size() + 1));
        }
    }
    return 0;
}

// Counts the paints of the list's viewport.
class PaintWatch : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject* watched, QEvent* event) override {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return QObject::eventFilter(watched, event);
    }
};

double secondsOf(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

// Seconds for `read` and every paint it brings: the events are handled until a round of them paints nothing more.
double timedShowing(const std::function<void()>& read, PaintWatch& watch) {
    QElapsedTimer timer;
    timer.start();
    read();
    int before = 0;
    do {
        before = watch.paints;
        QApplication::processEvents();
    } while (watch.paints != before || watch.paints == 0);
    return secondsOf(timer);
}

double timedLs(const QString& folder) {
    QProcess ls;
    ls.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    ls.start(QStringLiteral("ls"), {QStringLiteral("-1"), folder});
    if (!ls.waitForFinished(-1) || ls.exitCode() != 0) {
        std::fprintf(stderr, "bench_file_list: ls failed\n");
        std::exit(1);
    }
    return secondsOf(timer);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 200000;

    QTemporaryDir folder;
    const char* const patterns[] = {"File %06d.txt", "file %06d.TXT", "Photo_%06d.jpg",
                                    "R\xC3\xA9sum\xC3\xA9 %06d.odt"};
    for (int i = 0; i < count; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, patterns[i % 4], count - i);
        const std::string path = QFile::encodeName(folder.path()).toStdString() + "/" + name;
        if (!std::ofstream(path)) {
            std::fprintf(stderr, "bench_file_list: cannot make %s\n", path.c_str());
            return 1;
        }
    }
    const std::filesystem::path where = QFile::encodeName(folder.path()).toStdString();
    timedLs(folder.path()); // the folder read once from disk, for both

    ferrowyn::FileListBox list;
    list.resize(105, 253);
    list.show();
    PaintWatch watch;
    qobject_cast<QAbstractItemView*>(list.focusProxy())->viewport()->installEventFilter(&watch);
    timedShowing([] {}, watch);

    std::ofstream("/proc/self/clear_refs") << "5"; // the peak starts again from here
    const long residentBefore = statusKilobytes("VmRSS");
    double listBest = timedShowing([&] { list.setPath(where); }, watch);
    const long peakGrowth = statusKilobytes("VmHWM") - residentBefore;
    const long residentGrowth = statusKilobytes("VmRSS") - residentBefore;
    const double first = listBest;
    double lsBest = timedLs(folder.path());
    for (int round = 1; round < 3; ++round) {
        listBest = std::min(listBest, timedShowing([&] { list.Refresh(); }, watch));
        lsBest = std::min(lsBest, timedLs(folder.path()));
    }

    std::printf("files: %d (%d shown), locale: %s\n", count, list.ListCount(),
                std::setlocale(LC_COLLATE, nullptr));
    std::printf("first showing: %.3f s; resident growth after it: %.1f MB\n", first, residentGrowth / 1024.0);
    std::printf("file_list_seconds: %.3f\n", listBest);
    std::printf("ls_seconds: %.3f\n", lsBest);
    std::printf("file_list_vs_ls_ratio: %.2f\n", listBest / lsBest);
    std::printf("file_list_megabytes: %.1f\n", peakGrowth / 1024.0);
    return 0;
}
