// The three linked lists and the file's details.

#include "main_window/selected_file_path.h"
#include "platform/message_box.h"
#include "platform/volumes.h"
#include "window_harness.h"

#include <QComboBox>
#include <QDir>
#include <QTest>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace ferrowyn;
using ferrowyn::test::WindowHarness;

namespace {

void setModified(const QString& path, const QDateTime& when) {
    const timespec times[2] = {{when.toSecsSinceEpoch(), 0}, {when.toSecsSinceEpoch(), 0}};
    QVERIFY(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) == 0);
}

// A small file system of our own mounted in the working folder: a second volume, when we may mount one.
class ScratchVolume {
public:
    explicit ScratchVolume(const QString& where) : m_where(where) {
        QDir().mkpath(where);
        m_mounted = ::mount("ferrowyn-test", QFile::encodeName(where).constData(), "tmpfs", 0, "size=1m") == 0;
    }
    ~ScratchVolume() { unmount(); }
    void unmount() {
        if (m_mounted) {
            ::umount2(QFile::encodeName(m_where).constData(), MNT_DETACH);
            m_mounted = false;
        }
    }
    bool mounted() const { return m_mounted; }

private:
    QString m_where;
    bool m_mounted = false;
};

void chooseDrive(frmMain& w, const QString& root) {
    auto* combo = w.dvlDriveList->findChild<QComboBox*>();
    for (int i = 0; i < combo->count(); ++i) {
        if (combo->itemText(i).startsWith(root + " [")) {
            combo->setCurrentIndex(i);
            emit combo->activated(i); // as when the user picks it
            return;
        }
    }
    QFAIL("the volume is not in the drive list");
}

} // namespace

class WindowSelectionTest : public QObject {
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void clickingAFileShowsItsDetailsAndEnablesTheButton() {
        WindowHarness h;
        const QString path = h.makeFile("report.txt", 1234);
        h.makeFile("empty.txt", 0);
        setModified(path, QDateTime(QDate(2021, 3, 4), QTime(17, 6, 7)));
        frmMain& w = h.startWindow();

        h.clickFile("report.txt");
        QVERIFY(w.btnObliterate->Enabled());
        QCOMPARE(w.flsFileList->FileName(), QString("report.txt"));
        QCOMPARE(w.lblFileInfo->Caption(),
                 path + "\r\n\r\nLast modified on 3/4/21 5:06:07 PM\r\n\r\n1234 bytes long");

        h.clickFile("empty.txt");
        QVERIFY(w.lblFileInfo->Caption().endsWith("\r\n\r\n0 bytes long"));

        // Clicking the selected file again reads its details again.
        h.clickFile("empty.txt");
        QFile(h.pathOf("empty.txt")).resize(5);
        h.clickFile("empty.txt");
        QVERIFY(w.lblFileInfo->Caption().endsWith("\r\n\r\n5 bytes long"));

        // The keyboard selects as the mouse does.
        QTest::keyClick(h.fileView(), Qt::Key_Down);
        QCOMPARE(w.flsFileList->FileName(), QString("report.txt"));
        QVERIFY(w.lblFileInfo->Caption().startsWith(path + "\r\n"));
    }

    void folderPathsAreJoinedWithOneSeparator() {
        QCOMPARE(joinFolderAndFile("/", "a.txt"), QString("/a.txt"));
        QCOMPARE(joinFolderAndFile("/tmp", "a.txt"), QString("/tmp/a.txt"));
        QCOMPARE(joinFolderAndFile("/tmp/", "a.txt"), QString("/tmp/a.txt"));
    }

    void changingFolderEmptiesTheFileListSelectionAndDetails() {
        WindowHarness h;
        h.makeFile("a.txt");
        h.makeFolder("sub/deeper");
        h.makeFile("sub/b.txt");
        frmMain& w = h.startWindow();
        h.clickFile("a.txt");
        QVERIFY(w.btnObliterate->Enabled());

        h.clickFolder("sub"); // the highlight alone changes nothing
        QCOMPARE(w.dlsDirList->Path(), h.work());
        QCOMPARE(w.flsFileList->FileName(), QString("a.txt"));

        h.openFolder("sub");
        QCOMPARE(w.dlsDirList->Path(), h.pathOf("sub"));
        QCOMPARE(w.flsFileList->Path(), h.pathOf("sub"));
        QCOMPARE(h.fileNames(), QStringList{"b.txt"});
        QCOMPARE(w.flsFileList->ListIndex(), -1);
        QVERIFY(!w.btnObliterate->Enabled());
        QCOMPARE(w.lblFileInfo->Caption(), QString());
        const QStringList entries = h.folderEntries();
        const int depth = static_cast<int>(entries.size()) - 2;
        QCOMPARE(entries.mid(depth),
                 QStringList({QString(depth, ' ') + "sub", QString(depth + 1, ' ') + "deeper"}));

        // Enter opens the highlighted folder as a double-click does; the root is at the top.
        h.folderView()->setCurrentRow(0);
        QTest::keyClick(h.folderView(), Qt::Key_Return);
        QCOMPARE(w.dlsDirList->Path(), volumeRootOf(h.work()));
        QCOMPARE(w.flsFileList->Path(), volumeRootOf(h.work()));
    }

    void aFolderOrFileThatWentAwayIsReportedAndTheListsStayUsable() {
        WindowHarness h;
        h.makeFolder("sub");
        h.makeFile("a.txt");
        h.makeFile("b.txt");
        frmMain& w = h.startWindow();

        QVERIFY(QDir(h.work()).rmdir("sub"));
        h.openFolder("sub");
        QCOMPARE(test::shownPrompts(),
                 QStringList{"Cannot open the folder " + h.pathOf("sub") + ": No such file or directory"});
        QCOMPARE(w.dlsDirList->Path(), h.work());
        QCOMPARE(h.fileNames(), QStringList({"a.txt", "b.txt"}));

        h.clickFile("b.txt");
        QVERIFY(QFile::remove(h.pathOf("a.txt")));
        h.clickFile("a.txt");
        QCOMPARE(test::shownPrompts().last(),
                 "Cannot read the details of " + h.pathOf("a.txt") + ": No such file or directory");
        QCOMPARE(h.fileNames(), QStringList{"b.txt"});
        QCOMPARE(w.flsFileList->ListIndex(), -1);
        QCOMPARE(w.lblFileInfo->Caption(), QString());
        QVERIFY(!w.btnObliterate->Enabled());
        QVERIFY(h.programEnds.isEmpty());
    }

    void changingDriveMovesEveryListAndAVanishedDriveIsReported() {
        WindowHarness h;
        h.makeFile("a.txt");
        ScratchVolume volume(h.pathOf("volume"));
        if (!volume.mounted()) {
            QSKIP("a second volume cannot be mounted here (needs root)");
        }
        frmMain& w = h.startWindow();
        h.clickFile("a.txt");

        // The working folder lies on the other volume, so that volume's current folder is its root.
        chooseDrive(w, h.pathOf("volume"));
        QCOMPARE(w.dlsDirList->Path(), h.pathOf("volume"));
        QCOMPARE(w.flsFileList->Path(), h.pathOf("volume"));
        QVERIFY(!w.btnObliterate->Enabled());
        QCOMPARE(w.lblFileInfo->Caption(), QString());

        chooseDrive(w, volumeRootOf(h.work()));
        QCOMPARE(w.dlsDirList->Path(), h.work()); // the working folder is on this volume
        volume.unmount();
        chooseDrive(w, h.pathOf("volume"));
        QCOMPARE(test::shownPrompts().size(), 1);
        QVERIFY(test::shownPrompts().first().endsWith("it is not mounted"));
        QCOMPARE(volumeRootOf(w.dvlDriveList->Drive()), volumeRootOf(h.work()));
        QCOMPARE(w.dlsDirList->Path(), h.work());
        QVERIFY(h.programEnds.isEmpty());
    }
};

QTEST_MAIN(WindowSelectionTest)
#include "window_selection_test.moc"
