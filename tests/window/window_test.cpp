// The window from start to quit: where the lists open, how they follow each other and what they show, what is
// stored on the way out, the settings store's troubles, and the window as a keyboard or a screen reader meets it.

#include "main_window/given_files.h"
#include "platform/core/folder_listing.h"
#include "platform/core/folder_path.h"
#include "platform/core/volumes.h"
#include "platform/widgets/message_box.h"
#include "platform/widgets/path_text.h"
#include "platform/widgets/settings_backend.h"
#include "window_harness.h"

#include <QApplication>
#include <QDateTime>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QRegularExpression>
#include <QSettings>
#include <QTest>
#include <cstdlib>
#include <fstream>
#include <thread>

using namespace ferrowyn;
using ferrowyn::test::WindowHarness;

namespace {

// A small file system of our own mounted in the working folder: a second volume, when we may mount one (Linux,
// as root).
struct ScratchVolume {
    explicit ScratchVolume(const std::filesystem::path& where) : where(where) {
        std::filesystem::create_directories(where);
        mounted =
            std::system(
                ("mount -t tmpfs -o size=1m ferrowyn-test '" + where.string() + "' 2>/dev/null").c_str()) == 0;
    }
    ~ScratchVolume() { unmount(); }
    void unmount() { mounted = mounted && std::system(("umount -l '" + where.string() + "'").c_str()) != 0; }
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

// The drive list's first entry that starts with `start`.
int entryOf(frmMain& w, const QString& start) {
    return static_cast<int>(WindowHarness::namesIn(w.dvlDriveList)
                                .indexOf(QRegularExpression(QRegularExpression::escape(start) + ".*")));
}

} // namespace

class WindowTest : public QObject {
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void firstStartOpensTheWorkingFolderAndQuitSavesTheFileListsFolder() {
        WindowHarness h;
        // In order without regard to case, however long names start alike and beyond ASCII too (an a with an acute
        // before a capital A with a diaeresis); names that differ only in case (where the file system keeps both)
        // capitals first.
        QStringList files = {"A.txt", "b.txt", "c.TXT", "HOLIDAY 1.jpg", "Holiday 10.jpg", "holiday 2.jpg"};
        files.append({"\u00e1.txt", "\u00c4.txt"});
        if (QSysInfo::productType() != "windows") {
            files.insert(1, "a.txt");
        }
        for (const QString& name : QStringList(files.crbegin(), files.crend()) + QStringList(".hidden")) {
            h.makeFile(name.toStdU16String());
        }
        h.makeFolder("sub/other");
        h.makeFolder(".secrets");
        QStringList folders = {".secrets", "sub"};  // hidden too
        if (QSysInfo::productType() != "windows") { // a link to a folder is a folder; one to a file is in no list
            std::filesystem::create_directory_symlink(h.pathOf("sub/other"), h.pathOf("linked"));
            std::filesystem::create_symlink(h.pathOf("A.txt"), h.pathOf("link.txt"));
            folders.insert(1, "linked");
        }
        // A damaged settings file is read as empty, and replaced on the way out.
        const std::filesystem::path settings = h.settingsFileName().toStdString();
        std::filesystem::create_directories(settings.parent_path());
        std::ofstream(settings, std::ios::binary) << std::string("\x89\x01[Settings\nCurPath=\0\xff\xfe=[[", 24);
        frmMain& w = h.startWindow();

        QCOMPARE(w.dvlDriveList->Drive(), volumeRootOf(h.work()));
        QCOMPARE(w.dlsDirList->Path(), h.work());
        QCOMPARE(w.flsFileList->Path(), h.work());
        QCOMPARE(h.fileNames(), files);
        QCOMPARE(h.folderNames().mid(h.folderNames().size() - folders.size()), folders);
        QVERIFY(!w.btnObliterate->Enabled());
        QCOMPARE(w.lblFileInfo->Caption() + w.lblOblPos->Caption(), QString());

        h.selectFile("A.txt");
        MessageBox::setNextAnswer(MessageAnswer::No);
        QVERIFY(!h.closeWindow());
        QCOMPARE(MessageBox::shown().last().prompt, QString("Are you sure you want to quit?"));
        QCOMPARE(MessageBox::shown().last().title, QString("Quit Ferrowyn?"));
        QCOMPARE(MessageBox::shown().last().buttons, MessageButtons::YesNo);
        QVERIFY(w.isVisible() && w.btnObliterate->Enabled());
        QCOMPARE(test::readFile(settings).size(), 24u); // nothing saved

        h.openFolder("sub");
        h.openFolder("other");
        h.openFolder("sub"); // back up the chain
        MessageBox::setNextAnswer(MessageAnswer::Yes);
        QVERIFY(h.closeWindow());
        QCOMPARE(h.storedLastFolder().toString(), shownText(h.pathOf("sub")));
        QCOMPARE(h.programEnds, QList<int>());
    }

    void aRememberedFolderIsRestoredExactlyOrGivesWayToTheDefault() {
        struct Case {
            std::string stored; // relative to the working folder
            bool madeFirst;
            std::filesystem::path opensOn;
        };
        std::vector<Case> cases = {
            {"sub", true, "sub"}, {"Photos [2019]", true, "Photos [2019]"}, {"gone", false, "."}};
        const bool bytesAreNames = QSysInfo::productType() != "windows";
        if (bytesAreNames) {
            cases.push_back({"caf\xE9", true, "caf\xE9"}); // not UTF-8: stored as its bytes
        }
        for (const Case& c : cases) {
            WindowHarness h;
            const auto folder = h.pathOf(c.stored);
            if (c.madeFirst) {
                h.makeFolder(c.stored);
            }
            const QByteArray bytes = QByteArray::fromStdString(folder.string());
            const bool utf8 = QString::fromUtf8(bytes).toUtf8() == bytes;
            h.storeLastFolder(utf8 ? QVariant(shownText(folder)) : QVariant(bytes));
            frmMain& w = h.startWindow();
            QCOMPARE(w.flsFileList->Path(), normalFolderPath(h.pathOf(c.opensOn)));
            QCOMPARE(w.dlsDirList->Path(), w.flsFileList->Path());
            QCOMPARE(h.programEnds, QList<int>());
            MessageBox::setNextAnswer(MessageAnswer::Yes);
            QVERIFY(h.closeWindow());
            if (!utf8) {
                QCOMPARE(h.storedLastFolder().toByteArray(), bytes);
            }
        }
        // A value that is not a plain folder path is not followed, even where it leads to a folder.
        for (const char* odd : {"sub", "/../sub", "//?/"}) { // the last: Windows's verbatim form of the folder
            WindowHarness h;
            const QString sub = shownText(h.makeFolder("sub"));
            h.storeLastFolder(odd[0] != '/'   ? QString(odd)
                              : odd[1] == '/' ? QDir::toNativeSeparators(odd + sub)
                                              : sub + odd);
            QCOMPARE(h.startWindow().flsFileList->Path(), h.work());
        }
        // The working folder is gone as well: the lists open on its volume's root.
        WindowHarness h;
        const auto doomed = h.makeFolder("doomed");
        std::filesystem::current_path(doomed);
        std::error_code inUse; // Windows keeps a working folder from being deleted
        if (!std::filesystem::remove(doomed, inUse)) {
            return;
        }
        h.storeLastFolder("/gone/for/good");
        QCOMPARE(h.startWindow().flsFileList->Path(), volumeRootOf(h.work()));
    }

    // Something other than a file where the settings file should be (a folder; on Linux a pipe, whose opening
    // would keep the start waiting for ever) is never opened: the first start's folder, one message over the
    // window, and nothing saved over it. A store that cannot be written ends the program, saying why.
    void theSettingsStoresTroublesAreSaidAndNeverWaitedFor() {
        for (const bool pipe : {false, true}) {
            WindowHarness h;
            h.storeLastFolder(shownText(h.makeFolder("sub")));
            const std::filesystem::path file = h.settingsFileName().toStdU16String();
            std::filesystem::remove(file);
            std::filesystem::create_directories(pipe ? file.parent_path() : file);
            if (pipe && (QSysInfo::productType() == "windows" || !test::run("mkfifo '" + file.string() + "'"))) {
                continue; // no pipe can be made here
            }
            if (pipe) { // should the start open the pipe, a writer comes after a while and the test fails
                std::thread([file] { std::ofstream{file}; }).detach();
            }
            frmMain& w = h.startWindow();
            QCOMPARE(w.flsFileList->Path(), h.work());
            QCOMPARE(test::shownPrompts(), QStringList{"Cannot read the settings file " + shownText(file) + ": " +
                                                       (pipe ? "it is not a regular file" : "it is a folder") +
                                                       ". Ferrowyn starts as it does the first time, and "
                                                       "remembers nothing this time"});
            QCOMPARE(MessageBox::shown().first().over, &w);
            MessageBox::setNextAnswer(MessageAnswer::Yes);
            QVERIFY(h.closeWindow());
            QCOMPARE(test::shownPrompts().size(), 2); // and the quit question
            QVERIFY(h.programEnds.isEmpty() &&
                    (pipe ? std::filesystem::is_fifo(file) : std::filesystem::is_directory(file)));
        }
        WindowHarness h;
        // Where the settings folder should be stands a file, so the store cannot be written, whoever we are.
        const std::filesystem::path file = h.settingsFileName().toStdU16String();
        std::ofstream(file.parent_path()).close();
        frmMain& w = h.startWindow();
        MessageBox::setNextAnswer(MessageAnswer::Yes);
        QVERIFY(!h.closeWindow());
        QCOMPARE(h.programEnds, QList<int>{EXIT_FAILURE});
        const QString prompt = MessageBox::shown().last().prompt;
        QVERIFY2(prompt.startsWith("Cannot save the setting CurPath in " + shownText(file) + ": ") &&
                     prompt.endsWith(QSysInfo::productType() == "windows" ? "" : ": Not a directory"),
                 qPrintable(prompt));
        QCOMPARE(MessageBox::shown().last().title, QString("Ferrowyn"));
        QVERIFY(w.isVisible());
    }

    // Focus order, names and descriptions for a screen reader, and a whole obliteration asked for by keyboard
    // in a folder that holds one file.
    void theWindowCanBeUsedByKeyboardAndReadByAScreenReader() {
        WindowHarness h;
        h.makeFile("only.txt");
        frmMain& w = h.startWindow();
        QCOMPARE(w.windowTitle(), QString("Kelditch Ferrowyn V1.2.1"));
        QCOMPARE(w.minimumSize(), w.maximumSize());
        QVERIFY(QTest::qWaitForWindowActive(&w));

        const std::pair<QString, QString> order[] = {
            {"Drives", "Select the drive that your file is in here"},
            {"Files", "Select your file here"},
            {"Folders", "Select the folder that your file is in here"},
            {"Drives", "Select the drive that your file is in here"}, // the button is disabled: left out
        };
        for (const auto& [name, description] : order) {
            QCOMPARE(QApplication::focusWidget()->accessibleName(), name);
            QCOMPARE(QApplication::focusWidget()->accessibleDescription(), description);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down); // in the file list: selects its only file
        QCOMPARE(w.flsFileList->FileName(), std::filesystem::path("only.txt"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->accessibleName(), QString("Obliterate"));
        QCOMPARE(QApplication::focusWidget()->accessibleDescription(),
                 QString("Click here to Obliterate your file"));
        MessageBox::setNextAnswer(MessageAnswer::No);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QCOMPARE(MessageBox::shown().last().title, QString("Obliterate only.txt?"));
    }

    // A file named on the command line ("Open with", Explorer's context menu) or dropped on the window is selected
    // as if the user had clicked it, and nothing more: obliterating it still takes the button and a Yes. Its path
    // means what the system makes of it: behind a link, ".." is the folder above the link's target.
    void aFileGivenOrDroppedIsSelectedAsIfClickedAndNothingElse() {
        const bool windows = QSysInfo::productType() == "windows";
        const std::filesystem::path odd =
            windows ? "-dash 'single' sp ace.txt" : "-dash 'single' \"double\" \xFF.txt";
        {
            WindowHarness h;
            h.makeFile("sub" / odd, 500);
            h.makeFile("sub/other.txt");
            frmMain& w = h.startWindow(givenFiles({std::filesystem::path("sub") / odd}));
            QCOMPARE(w.dlsDirList->Path(), h.pathOf("sub"));
            QCOMPARE(w.flsFileList->Path(), h.pathOf("sub"));
            QCOMPARE(w.flsFileList->FileName(), odd);
            QVERIFY(w.btnObliterate->Enabled());
            QVERIFY(w.lblFileInfo->Caption().startsWith(shownText(h.pathOf("sub") / odd) + "\r\n"));
            MessageBox::setNextAnswer(MessageAnswer::No);
            h.clickObliterate();
            QCOMPARE(test::readFile(h.pathOf("sub") / odd).size(), 500u);
            QCOMPARE(test::shownPrompts().size(), 1); // the confirmation alone

            // Dropped: taken as a copy, never as a move; a file is selected, a folder is not, and an address on
            // another computer is not taken for the local file at the same path.
            // Shift held: the drag proposes a move.
            const auto drop = [&](const QList<QUrl>& urls,
                                  Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction) {
                QMimeData data;
                data.setUrls(urls);
                QDragEnterEvent enter(QPoint(5, 5), offered, &data, Qt::LeftButton, Qt::ShiftModifier);
                QApplication::sendEvent(&w, &enter);
                QDropEvent dropped(QPointF(5, 5), offered, &data, Qt::LeftButton, Qt::ShiftModifier);
                QApplication::sendEvent(&w, &dropped);
                QCoreApplication::processEvents();
                return enter.isAccepted() && dropped.isAccepted() ? dropped.dropAction() : Qt::IgnoreAction;
            };
            const auto url = [](const std::filesystem::path& path) {
                return QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(path.string())));
            };
            QCOMPARE(drop({url(h.makeFile("dropped.txt"))}), Qt::CopyAction);
            QCOMPARE(w.flsFileList->Path(), h.work());
            QCOMPARE(w.flsFileList->FileName(), std::filesystem::path("dropped.txt"));
            // From the folder shown, made since the lists read it: both lists read it again, and agree.
            h.makeFolder("later");
            QCOMPARE(drop({url(h.makeFile("later.txt"))}), Qt::CopyAction);
            QCOMPARE(w.flsFileList->FileName(), std::filesystem::path("later.txt"));
            QVERIFY(h.folderNames().contains("later"));
            QCOMPARE(drop({url(h.pathOf("sub/other.txt"))}, Qt::MoveAction), Qt::IgnoreAction);
            QCOMPARE(w.flsFileList->FileName(), std::filesystem::path("later.txt"));
            QUrl remote = url(h.pathOf("dropped.txt"));
            remote.setHost("otherhost");
            if (!windows) { // there a host names a network share, which Windows reaches itself
                MessageBox::clearScript();
                drop({remote});
                QCOMPARE(test::shownPrompts(), QStringList{"Ferrowyn cannot select " + remote.toString() +
                                                           ": it is not a file on this computer."});
            }
            MessageBox::clearScript();
            drop({url(h.pathOf("sub")), url(h.pathOf("dropped.txt"))});
            QCOMPARE(test::shownPrompts(),
                     QStringList{"Ferrowyn cannot select " + shownText(h.pathOf("sub")) +
                                 ": it is a folder.\n\nFerrowyn obliterates one file at a time: of the 2 files "
                                 "given, none is selected."});
            QCOMPARE(MessageBox::shown().first().over, &w);
        }
        // What cannot be selected opens the window on the nearest folder that exists, and says why, once, over
        // the window.
        WindowHarness made;
        const auto folder = made.makeFolder("folder");
        const auto cannot = [](const std::filesystem::path& path) {
            return "Ferrowyn cannot select " + shownText(path) + ": ";
        };
        // The files given, the message's beginning, what is selected and where the lists open.
        std::vector<
            std::tuple<std::vector<std::filesystem::path>, QString, std::filesystem::path, std::filesystem::path>>
            cases = {
                {{folder}, cannot(folder) + "it is a folder.", "", made.work()},
                {{folder / "gone" / "missing.txt"}, cannot(folder / "gone" / "missing.txt"), "", folder},
                {{made.makeFile("a.txt"), made.makeFile("b.txt")},
                 "Ferrowyn obliterates one file at a time: a.txt of the 2 files given is selected.",
                 "a.txt",
                 made.work()},
            };
        if (!windows) {
            std::filesystem::create_symlink(made.pathOf("a.txt"), folder / "link.txt");
            cases.push_back(
                {{folder / "link.txt"}, cannot(folder / "link.txt") + "it is a symbolic link.", "", folder});
            made.makeFile("deep/secret.txt");
            made.makeFile("secret.txt");
            std::filesystem::create_symlink(made.makeFolder("deep/er"), made.pathOf("lnk"));
            cases.push_back({givenFiles({"lnk/../secret.txt"}), "", "secret.txt", made.pathOf("deep")});
        }
        for (const auto& [given, message, selected, opensOn] : cases) {
            MessageBox::clearScript();
            frmMain& w = made.startWindow(given);
            QCOMPARE(test::shownPrompts().size(), message.isEmpty() ? 0 : 1);
            QVERIFY(message.isEmpty() || test::shownPrompts().first().startsWith(message));
            QVERIFY(message.isEmpty() || MessageBox::shown().first().over == &w);
            QCOMPARE(w.flsFileList->FileName(), selected);
            QCOMPARE(w.flsFileList->Path(), opensOn);
        }
    }

    void onWindowsTheFolderIsRememberedInTheUsersRegistry() {
        if (QSysInfo::productType() != "windows") {
            QSKIP("the registry is Windows's own");
        }
        saveSetting("FerrowynTest", "Settings", "CurPath", QString("C:\\Users\\ann"));
        QSettings key("HKEY_CURRENT_USER\\Software\\Ferrowyn\\FerrowynTest", QSettings::NativeFormat);
        QCOMPARE(key.value("Settings/CurPath").toString(), QString("C:\\Users\\ann"));
        QCOMPARE(readSetting("FerrowynTest", "Settings", "CurPath", {}).toString(), QString("C:\\Users\\ann"));
        key.remove("");
    }

    // A file's details, a change of folder that empties them, and a folder that vanishes behind the lists.
    void selectingShowsTheDetailsAChangeOfFolderEmptiesThemAndAVanishedFolderMovesTheListsUp() {
        WindowHarness h;
        const auto path = h.makeFile("report.txt", 1234);
        h.makeFile("empty.txt", 0);
        h.makeFile("sub/deeper/b.txt");
        std::filesystem::last_write_time(
            path, std::chrono::file_clock::from_sys(std::chrono::sys_seconds(
                      std::chrono::seconds(QDateTime(QDate(2021, 3, 4), QTime(17, 6, 7)).toSecsSinceEpoch()))));
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

        h.openFolder("sub");
        h.openFolder("deeper");
        QCOMPARE(w.flsFileList->Path(), h.pathOf("sub/deeper"));
        QCOMPARE(h.fileNames(), QStringList{"b.txt"});
        QCOMPARE(w.flsFileList->ListIndex(), -1);
        QVERIFY(!w.btnObliterate->Enabled() && w.lblFileInfo->Caption().isEmpty());

        h.selectFile("b.txt");
        std::filesystem::remove_all(h.pathOf("sub"));
        h.clickFile("b.txt");
        QCOMPARE(test::shownPrompts().size(), 1);
        QVERIFY(test::shownPrompts().first().startsWith("Cannot read the details of " +
                                                        shownText(h.pathOf("sub/deeper/b.txt"))));
        QCOMPARE(w.dlsDirList->Path(), h.work());
        QCOMPARE(w.flsFileList->Path(), h.work());
        QCOMPARE(h.fileNames(), QStringList({"empty.txt", "report.txt"}));
        QVERIFY(!w.btnObliterate->Enabled() && w.lblFileInfo->Caption().isEmpty());
        QCOMPARE(h.programEnds, QList<int>());

        // The root is at the top of the folder list.
        h.openFolder(shownText(volumeRootOf(h.work())));
        QCOMPARE(w.flsFileList->Path(), volumeRootOf(h.work()));
    }

    // On Windows another drive letter; on Linux, as root, a volume mounted in the working folder, named like a
    // drive list entry, which is then unmounted behind the list's back.
    void changingDriveMovesEveryListAndADriveThatGoesIsReported() {
        WindowHarness h;
        h.makeFile("a.txt");
        ScratchVolume volume(h.pathOf("Backup [2020]"));
        const bool windows = QSysInfo::productType() == "windows";
        const char* emptyDrive = std::getenv("FERROWYN_EMPTY_DRIVE"); // the folder mapped to Q:, under Wine
        if (windows ? emptyDrive == nullptr : !volume.mounted) {
            QSKIP("no second, empty drive can be made here (Wine's Q:, or a mount as root)");
        }
        frmMain& w = h.startWindow();
        h.selectFile("a.txt");
        const int other = entryOf(w, windows ? "q:" : shownText(volume.where) + " [");
        QVERIFY(other >= 0);
        chooseDrive(w, other);
        QCOMPARE(w.dlsDirList->Path(), currentFolderOfDrive(w.dvlDriveList->Drive()));
        QCOMPARE(w.flsFileList->Path(), w.dlsDirList->Path());
        QCOMPARE(h.folderNames().first(), shownText(w.dvlDriveList->Drive()));
        QVERIFY(!w.btnObliterate->Enabled() && w.lblFileInfo->Caption().isEmpty());
        QVERIFY(h.fileNames().isEmpty() && test::shownPrompts().isEmpty()); // an empty drive is an empty list
        if (windows) {
            // The drive goes while it is shown: one message, and the lists move to a drive that can be read.
            std::filesystem::remove(emptyDrive);
            h.openFolder(h.folderNames().first());
            QCOMPARE(test::shownPrompts().size(), 1);
            QVERIFY(w.dvlDriveList->Drive() != "Q:\\" && canListFolder(w.flsFileList->Path()));
        } else {
            QCOMPARE(w.dlsDirList->Path(), volume.where); // the working folder lies on the other volume
            w.dvlDriveList->setDrive(h.work());
            volume.unmount();
            const auto before = chooseDrive(w, other);
            QCOMPARE(test::shownPrompts(),
                     QStringList{"Cannot reach the drive " + shownText(volume.where) + ": it is not mounted"});
            QCOMPARE(w.dvlDriveList->Drive(), volumeRootOf(before)); // back to the folder list's volume
            QCOMPARE(w.dlsDirList->Path(), before);
        }
        QCOMPARE(h.programEnds, QList<int>());
    }
};

QTEST_MAIN(WindowTest)
#include "window_test.moc"
