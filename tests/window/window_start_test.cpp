// Start-up and shutdown of the window: where the lists open, what is stored on the way out, the quit question,
// the settings store's troubles, and the window as a keyboard or a screen reader meets it.

#include "platform/gui/message_box.h"
#include "platform/gui/path_text.h"
#include "platform/gui/settings_backend.h"
#include "platform/gui/volumes.h"
#include "window_harness.h"

#include <QApplication>
#include <QFile>
#include <QSettings>
#include <QTest>

using namespace ferrowyn;
using ferrowyn::test::WindowHarness;

namespace {

QString focusedControlName() {
    const QWidget* focused = QApplication::focusWidget();
    return focused != nullptr ? focused->accessibleName() : QString();
}

} // namespace

class WindowStartTest : public QObject {
    Q_OBJECT

private slots:
    void firstStartOpensTheWorkingFolderAndQuitSavesTheFileListsFolder() {
        WindowHarness h;
        for (const char* name : {"b.txt", "A.txt", "c.TXT", ".hidden"}) {
            h.makeFile(name);
        }
        h.makeFolder("sub/other");
        h.makeFolder(".secrets");
        frmMain& w = h.startWindow();

        QCOMPARE(w.dvlDriveList->Drive(), volumeRootOf(h.work()));
        QCOMPARE(w.dlsDirList->Path(), h.work());
        QCOMPARE(w.flsFileList->Path(), h.work());
        QCOMPARE(h.fileNames(), QStringList({"A.txt", "b.txt", "c.TXT"}));
        QCOMPARE(h.folderNames().mid(h.folderNames().size() - 2), QStringList({".secrets", "sub"})); // hidden too
        QCOMPARE(w.flsFileList->ListIndex(), -1);
        QVERIFY(!w.btnObliterate->Enabled());
        QCOMPARE(w.lblFileInfo->Caption() + w.lblOblPos->Caption(), QString());

        h.selectFile("A.txt");
        MessageBox::setNextAnswer(MessageAnswer::No);
        QVERIFY(!h.closeWindow());
        QCOMPARE(MessageBox::shown().last().prompt, QString("Are you sure you want to quit?"));
        QCOMPARE(MessageBox::shown().last().title, QString("Quit Ferrowyn?"));
        QCOMPARE(MessageBox::shown().last().buttons, MessageButtons::YesNo);
        QVERIFY(w.isVisible() && w.btnObliterate->Enabled());
        QVERIFY(!QFile::exists(h.settingsFileName()));

        h.openFolder("sub");
        h.openFolder("other");
        h.openFolder("sub"); // back up the chain
        MessageBox::setNextAnswer(MessageAnswer::Yes);
        QVERIFY(h.closeWindow());
        QCOMPARE(h.storedLastFolder().toString(), shownText(h.pathOf("sub")));
    }

    void aRememberedFolderIsRestoredExactlyOrGivesWayToTheDefault() {
        struct Case {
            std::string stored; // relative to the working folder
            bool madeFirst;
            std::filesystem::path opensOn;
        };
        std::vector<Case> cases = {{"sub", true, "sub"}, {"Photos [2019]", true, "Photos [2019]"}, {"gone", false, "."}};
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
        // The working folder is gone as well: the lists open on its volume's root.
        WindowHarness h;
        const auto doomed = h.makeFolder("doomed");
        std::filesystem::current_path(doomed);
        std::filesystem::remove(doomed);
        h.storeLastFolder("/gone/for/good");
        QCOMPARE(h.startWindow().flsFileList->Path(), volumeRootOf(h.work()));
    }

    void aDamagedSettingsFileIsReplacedAndAStoreThatCannotBeWrittenEndsTheProgram() {
        {
            WindowHarness h;
            h.makeFolder("sub");
            std::filesystem::create_directories(std::filesystem::path(h.settingsFileName().toStdString()).parent_path());
            QFile damaged(h.settingsFileName());
            QVERIFY(damaged.open(QIODevice::WriteOnly));
            damaged.write(QByteArray("\x89\x01[Settings\nCurPath=\0\xff\xfe=[[", 24));
            damaged.close();
            h.startWindow();
            h.openFolder("sub");
            MessageBox::setNextAnswer(MessageAnswer::Yes);
            QVERIFY(h.closeWindow());
            QCOMPARE(h.programEnds, QList<int>());
            QCOMPARE(h.storedLastFolder().toString(), shownText(h.pathOf("sub")));
        }
        WindowHarness h;
        // Where the settings folder should be stands a file, so the store cannot be written, whoever we are.
        QFile blocker(QFileInfo(h.settingsFileName()).path());
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        frmMain& w = h.startWindow();
        MessageBox::setNextAnswer(MessageAnswer::Yes);
        QVERIFY(!h.closeWindow());
        QCOMPARE(h.programEnds, QList<int>{EXIT_FAILURE});
        QVERIFY(MessageBox::shown().last().prompt.startsWith("Cannot save the setting CurPath"));
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
            QCOMPARE(focusedControlName(), name);
            QCOMPARE(QApplication::focusWidget()->accessibleDescription(), description);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down); // in the file list: selects its only file
        QCOMPARE(w.flsFileList->FileName(), std::filesystem::path("only.txt"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(focusedControlName(), QString("Obliterate"));
        QCOMPARE(QApplication::focusWidget()->accessibleDescription(), QString("Click here to Obliterate your file"));
        MessageBox::setNextAnswer(MessageAnswer::No);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QCOMPARE(MessageBox::shown().last().title, QString("Obliterate only.txt?"));
    }

    void onWindowsTheFolderIsRememberedInTheUsersRegistry() {
        if (QSysInfo::productType() != "windows") {
            QSKIP("the registry is Windows's own");
        }
        QSettings::setDefaultFormat(QSettings::NativeFormat);
        saveSetting("FerrowynTest", "Settings", "CurPath", QString("C:\\Users\\ann"));
        QSettings key("HKEY_CURRENT_USER\\Software\\Ferrowyn\\FerrowynTest", QSettings::NativeFormat);
        QCOMPARE(key.value("Settings/CurPath").toString(), QString("C:\\Users\\ann"));
        QCOMPARE(readSetting("FerrowynTest", "Settings", "CurPath", {}).toString(), QString("C:\\Users\\ann"));
        key.remove("");
    }
};

QTEST_MAIN(WindowStartTest)
#include "window_start_test.moc"
