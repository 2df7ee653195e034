// Start-up and shutdown of the window: where the lists open, what is stored on the way out, the quit question,
// and the window as drawn.

#include "main_window/design_values.h"
#include "platform/message_box.h"
#include "platform/path_text.h"
#include "platform/volumes.h"
#include "window_harness.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTest>

using namespace ferrowyn;
using ferrowyn::test::WindowHarness;

class WindowStartTest : public QObject {
    Q_OBJECT

private slots:
    void firstStartOpensTheWorkingFolderAndStoresItOnQuit() {
        WindowHarness h;
        h.makeFile("b.txt");
        h.makeFile("A.txt");
        h.makeFile("c.TXT");
        h.makeFile(".hidden");
        h.makeFolder("sub");
        QFile::link(h.pathOf("b.txt"), h.pathOf("link.txt"));
        frmMain& w = h.startWindow();

        QCOMPARE(w.dvlDriveList->Drive(), w.dvlDriveList->findChild<QComboBox*>()->currentText());
        QCOMPARE(volumeRootOf(w.dvlDriveList->Drive()), volumeRootOf(h.work()));
        QCOMPARE(w.dlsDirList->Path(), h.work());
        QCOMPARE(w.flsFileList->Path(), h.work());
        QCOMPARE(h.fileNames(), QStringList({"A.txt", "b.txt", "c.TXT"}));
        QCOMPARE(h.folderEntries().last(), QString(h.folderEntries().size() - 1, ' ') + "sub");
        QCOMPARE(w.flsFileList->ListIndex(), -1);
        QVERIFY(!w.btnObliterate->Enabled());
        QCOMPARE(w.lblFileInfo->Caption(), QString());
        QCOMPARE(w.lblOblPos->Caption(), QString());
        QCOMPARE(w.lblOblPos->Alignment(), 2);
        QVERIFY(!QFile::exists(h.settingsFileName()));

        MessageBox::setNextAnswer(MessageAnswer::Yes);
        QVERIFY(h.closeWindow());
        QCOMPARE(h.storedLastFolder(), h.work());
        QVERIFY(QFile(h.settingsFileName()).open(QIODevice::ReadOnly));
    }

    void storedFolderIsRestoredAndAGoneOneGivesWayToTheDefault() {
        {
            WindowHarness h;
            const QString sub = h.makeFolder("sub");
            h.makeFile("sub/inside.txt");
            h.storeLastFolder(sub);
            frmMain& w = h.startWindow();
            QCOMPARE(w.dlsDirList->Path(), sub);
            QCOMPARE(w.flsFileList->Path(), sub);
            QCOMPARE(h.fileNames(), QStringList{"inside.txt"});
        }
        {
            WindowHarness h;
            h.storeLastFolder(h.pathOf("gone"));
            frmMain& w = h.startWindow();
            QCOMPARE(w.flsFileList->Path(), h.work());
            QVERIFY(MessageBox::shown().isEmpty());
        }
        {
            // The working folder is gone as well: the lists open on its volume's root.
            WindowHarness h;
            const QString doomed = h.makeFolder("doomed");
            QDir::setCurrent(doomed);
            QVERIFY(QDir().rmdir(doomed));
            h.storeLastFolder(h.pathOf("gone"));
            frmMain& w = h.startWindow();
            QCOMPARE(w.flsFileList->Path(), volumeRootOf(h.work()));
            QCOMPARE(w.dlsDirList->Path(), volumeRootOf(h.work()));
        }
    }

    void storedFolderOnAnotherVolumeSelectsThatVolume() {
        WindowHarness h;
        QString other;
        for (const Volume& volume : storageVolumes()) {
            if (volume.root != volumeRootOf(h.work()) && QDir(volume.root).isReadable()) {
                other = volume.root;
            }
        }
        if (other.isEmpty()) {
            QSKIP("this machine has one volume only");
        }
        h.storeLastFolder(other);
        frmMain& w = h.startWindow();
        QCOMPARE(volumeRootOf(w.dvlDriveList->Drive()), other);
        QCOMPARE(w.dlsDirList->Path(), other);
        QCOMPARE(w.flsFileList->Path(), other);
    }

    void quitAnsweredNoKeepsEverythingAndYesSavesTheFileListsFolder() {
        WindowHarness h;
        h.makeFolder("sub");
        h.makeFolder("sub/other");
        h.makeFile("a.txt");
        frmMain& w = h.startWindow();
        h.clickFile("a.txt");
        const QString details = w.lblFileInfo->Caption();

        MessageBox::setNextAnswer(MessageAnswer::No);
        QVERIFY(!h.closeWindow());
        QVERIFY(w.isVisible());
        QCOMPARE(MessageBox::shown().last().prompt, QString("Are you sure you want to quit?"));
        QCOMPARE(MessageBox::shown().last().title, QString("Quit Ferrowyn?"));
        QCOMPARE(MessageBox::shown().last().buttons, MessageButtons::YesNo);
        QCOMPARE(w.flsFileList->FileName(), QString("a.txt"));
        QCOMPARE(w.lblFileInfo->Caption(), details);
        QVERIFY(w.btnObliterate->Enabled());
        QVERIFY(!QFile::exists(h.settingsFileName()));

        h.openFolder("sub");
        h.clickFolder("other"); // the highlight moves; the folder shown does not
        MessageBox::setNextAnswer(MessageAnswer::Yes);
        QVERIFY(h.closeWindow());
        QCOMPARE(h.storedLastFolder(), h.pathOf("sub"));
    }

    void windowIsDrawnAsDesignedWithFocusInDesignOrder() {
        WindowHarness h;
        h.makeFile("a.txt");
        frmMain& w = h.startWindow();
        QCOMPARE(w.windowTitle(), QString("Kelditch Ferrowyn V1.2.1"));
        QCOMPARE(w.size(), QSize(405, 294));
        QCOMPARE(w.minimumSize(), w.maximumSize());
        QVERIFY(!w.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!w.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(w.windowFlags().testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!w.windowIcon().isNull());
        QCOMPARE(w.windowIcon().availableSizes(), QList<QSize>({QSize(32, 32), QSize(16, 16)}));

        const std::pair<QWidget*, QRect> geometry[] = {
            {w.btnObliterate, {256, 192, 145, 57}},  {w.dlsDirList, {104, 0, 145, 231}},
            {w.flsFileList, {0, 0, 105, 253}},       {w.dvlDriveList, {104, 232, 145, 21}},
            {w.lblFileInfo, {256, 0, 145, 113}},     {w.lblOblPos, {256, 168, 145, 17}},
            {w.lblFerrowynEmail, {0, 256, 401, 41}},
        };
        for (const auto& [control, rect] : geometry) {
            QCOMPARE(control->geometry(), rect);
        }
        QVERIFY(w.lblFerrowynEmail->geometry().bottom() > w.rect().bottom()); // clipped as drawn
        QCOMPARE(w.btnObliterate->toolTip(), QString("Click here to Obliterate your file"));
        QCOMPARE(w.dlsDirList->toolTip(), QString("Select the folder that your file is in here"));
        QCOMPARE(w.flsFileList->toolTip(), QString("Select your file here"));
        QCOMPARE(w.dvlDriveList->toolTip(), QString("Select the drive that your file is in here"));
        QCOMPARE(w.btnObliterate->Caption(), QString("Obliterate"));
        QVERIFY(w.lblFerrowynEmail->Caption().startsWith(
            "If you have any trouble with this product, please send an email to "));
        QVERIFY(w.lblFerrowynEmail->Caption().endsWith(" with specific details of your problem"));

        QVERIFY(QTest::qWaitForWindowActive(&w));
        const auto focusOwner = [] {
            QWidget* focused = QApplication::focusWidget();
            return focused != nullptr ? focused->parentWidget() : nullptr;
        };
        QCOMPARE(focusOwner(), w.dvlDriveList);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(focusOwner(), w.flsFileList);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(focusOwner(), w.dlsDirList);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(focusOwner(), w.dvlDriveList); // the button is disabled, so it is left out

        h.clickFile("a.txt");
        w.dlsDirList->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(focusOwner(), w.btnObliterate);
    }

    void unexpectedErrorIsShownAndEndsTheProgramWithoutSaving() {
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
};

QTEST_MAIN(WindowStartTest)
#include "window_start_test.moc"
