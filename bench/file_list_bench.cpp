// How long the file list takes to show a large folder.
//
// usage: bench_file_list [number of files]     (default 100000; the folder is made in the system's temp folder)

#include "platform/gui/file_list_box.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 100000;

    QTemporaryDir folder;
    for (int i = 0; i < count; ++i) {
        QFile file(folder.path() + QStringLiteral("/File %1.txt").arg(count - i, 6, 10, QLatin1Char('0')));
        if (!file.open(QIODevice::WriteOnly)) {
            std::fprintf(stderr, "bench_file_list: cannot make %s\n", qPrintable(file.fileName()));
            return 1;
        }
    }

    ferrowyn::FileListBox list;
    list.resize(105, 253);
    list.show();
    QElapsedTimer timer;
    timer.start();
    list.setPath(QFile::encodeName(folder.path()).toStdString());
    QApplication::processEvents(); // includes the first paint
    const double first = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    timer.restart();
    list.Refresh();
    QApplication::processEvents();
    const double again = static_cast<double>(timer.nsecsElapsed()) / 1e9;

    std::printf("files: %d\n", count);
    std::printf("first listing: %.3f s\n", first);
    std::printf("file_list_seconds: %.3f\n", again);
    return 0;
}
