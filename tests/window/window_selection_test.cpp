// The three linked lists and the file's details.

#include "platform/gui/message_box.h"
#include "platform/gui/path_text.h"
#include "platform/gui/volumes.h"
#include "window_harness.h"

#include <QDateTime>
#include <QTest>
#include <fstream>
#ifdef Q_OS_LINUX
#include <sys/mount.h>
#include <unistd.h>
#endif

using namespace ferrowyn;
using ferrowyn::test::WindowHarness;

namespace {

// A small file system of our own mounted in the working folder: a second volume, when we may mount one.
struct ScratchVolume {
    explicit ScratchVolume(const std::filesystem::path& where) : where(where) {
        std::filesystem::create_directories(where);
#ifdef Q_OS_LINUX
        mounted = ::geteuid() == 0 && ::mount("ferrowyn-test", where.c_str(), "tmpfs", 0, "size=1m") == 0;
#endif
    }
    ~ScratchVolume() { unmount(); }
    void unmount() {
#ifdef Q_OS_LINUX
        mounted = mounted && ::umount2(where.c_str(), MNT_DETACH) != 0;
#endif
    }
    std::filesystem::path where;
    bool mounted = false;
};

// Picks the drive list's entry `index` with the arrow keys, as a user would: each step chooses the volume it
// reaches. Returns the folder list's folder just before the last step.
std::filesystem::path chooseDrive(frmMain& w, int index) {
    QWidget* combo = w.dvlDriveList->focusProxy();
    combo->setFocus();
    QTest::keyClick(combo, index == 0 ? Qt::Key_End : Qt::Key_Home);
    for (int i = 1; i < index; ++i) {
        QTest::keyClick(combo, Qt::Key_Down);
    }
    const auto before = w.dlsDirList->Path();
    QTest::keyClick(combo, index == 0 ? Qt::Key_Home : Qt::Key_Down);
    return before;
}

int entryOf(frmMain& w, const QString& start) {
    for (int i = 0; i < w.dvlDriveList->ListCount(); ++i) {
        if (w.dvlDriveList->List(i).startsWith(start)) {
            return i;
        }
    }
    return -1;
}

} // namespace

class WindowSelectionTest : public QObject {
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void selectingAFileShowsItsDetailsAndEnablesTheButton() {
        WindowHarness h;
        const auto path = h.makeFile("report.txt", 1234);
        h.makeFile("empty.txt", 0);
        std::filesystem::last_write_time(
            path, std::chrono::file_clock::from_sys(std::chrono::sys_seconds(std::chrono::seconds(
                      QDateTime(QDate(2021, 3, 4), QTime(17, 6, 7)).toSecsSinceEpoch()))));
        frmMain& w = h.startWindow();

        // With nothing selected, Up selects the last entry (and Down the first): both ends can be reached.
        QTest::keyClick(w.flsFileList->focusProxy(), Qt::Key_Up);
        QCOMPARE(w.flsFileList->FileName(), std::filesystem::path("report.txt"));
        QVERIFY(w.btnObliterate->Enabled());
        QCOMPARE(w.lblFileInfo->Caption(),
                 shownText(path) + "\r\n\r\nLast modified on 3/4/21 5:06:07 PM\r\n\r\n1234 bytes long");

        h.clickFile("empty.txt");
        QVERIFY(w.lblFileInfo->Caption().endsWith("\r\n\r\n0 bytes long"));
        // Clicking the selected file again reads its details again.
        std::ofstream(h.pathOf("empty.txt")) << "12345";
        h.clickFile("empty.txt");
        QVERIFY(w.lblFileInfo->Caption().endsWith("\r\n\r\n5 bytes long"));
    }

    void changingFolderEmptiesTheSelectionAndAFolderThatVanishesMovesTheListsUp() {
        WindowHarness h;
        h.makeFile("a.txt");
        h.makeFolder("sub/deeper");
        h.makeFile("sub/deeper/b.txt");
        frmMain& w = h.startWindow();
        h.selectFile("a.txt");
        h.openFolder("sub");
        h.openFolder("deeper");
        QCOMPARE(w.flsFileList->Path(), h.pathOf("sub/deeper"));
        QCOMPARE(h.fileNames(), QStringList{"b.txt"});
        QCOMPARE(w.flsFileList->ListIndex(), -1);
        QVERIFY(!w.btnObliterate->Enabled());
        QCOMPARE(w.lblFileInfo->Caption(), QString());

        h.selectFile("b.txt");
        std::filesystem::remove_all(h.pathOf("sub"));
        h.clickFile("b.txt");
        QCOMPARE(test::shownPrompts(), QStringList{"Cannot read the details of " + shownText(h.pathOf("sub/deeper/b.txt")) +
                                                   ": No such file or directory"});
        QCOMPARE(w.dlsDirList->Path(), h.work());
        QCOMPARE(w.flsFileList->Path(), h.work());
        QCOMPARE(h.fileNames(), QStringList{"a.txt"});
        QVERIFY(!w.btnObliterate->Enabled() && w.lblFileInfo->Caption().isEmpty());
        QCOMPARE(h.programEnds, QList<int>());

        // The root is at the top of the folder list.
        h.openFolder(shownText(volumeRootOf(h.work())));
        QCOMPARE(w.flsFileList->Path(), volumeRootOf(h.work()));
    }

    void changingDriveMovesEveryListAndAnUnmountedDriveIsReported() {
        WindowHarness h;
        h.makeFile("a.txt");
        ScratchVolume volume(h.pathOf("Backup [2020]"));
        if (!volume.mounted) {
            QSKIP("a second volume cannot be mounted here (needs Linux and root)");
        }
        frmMain& w = h.startWindow();
        h.selectFile("a.txt");

        // The working folder lies on the other volume, so that volume's current folder is its root.
        const int scratch = entryOf(w, shownText(h.pathOf("Backup [2020]")) + " [");
        chooseDrive(w, scratch);
        QCOMPARE(w.dvlDriveList->List(w.dvlDriveList->ListIndex()), shownText(h.pathOf("Backup [2020]")) + " [ferrowyn-test]");
        QCOMPARE(w.flsFileList->Path(), h.pathOf("Backup [2020]"));
        QCOMPARE(w.dlsDirList->Path(), h.pathOf("Backup [2020]"));
        QVERIFY(!w.btnObliterate->Enabled() && w.lblFileInfo->Caption().isEmpty());

        w.dvlDriveList->setDrive(h.work());
        QCOMPARE(w.dlsDirList->Path(), h.work()); // the working folder is on this volume
        volume.unmount();
        const auto before = chooseDrive(w, scratch);
        QCOMPARE(test::shownPrompts(),
                 QStringList{"Cannot reach the drive " + shownText(h.pathOf("Backup [2020]")) + ": it is not mounted"});
        QCOMPARE(w.dvlDriveList->Drive(), volumeRootOf(before)); // back to the folder list's volume
        QCOMPARE(w.dlsDirList->Path(), before);
        QCOMPARE(h.programEnds, QList<int>());
    }

    void driveLettersAreListedAndChoosingOneMovesTheLists() {
        if (QSysInfo::productType() != "windows") {
            QSKIP("drive letters are Windows's own");
        }
        WindowHarness h;
        frmMain& w = h.startWindow();
        const QString workDrive = shownText(h.work().root_name()).toLower();
        QVERIFY(w.dvlDriveList->List(w.dvlDriveList->ListIndex()).startsWith(workDrive));
        const int other = entryOf(w, workDrive == "c:" ? "z:" : "c:");
        QVERIFY(other >= 0);
        chooseDrive(w, other);
        QCOMPARE(w.dlsDirList->Path(), currentFolderOfDrive(w.dvlDriveList->Drive()));
        QCOMPARE(w.flsFileList->Path(), w.dlsDirList->Path());
        QCOMPARE(h.folderNames().first(), shownText(w.dvlDriveList->Drive()));
    }
};

QTEST_MAIN(WindowSelectionTest)
#include "window_selection_test.moc"
