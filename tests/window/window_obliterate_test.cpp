// The obliterate command, driven through the real window: confirmation, progress, outcome and the tail.

#include "platform/widgets/message_box.h"
#include "platform/widgets/path_text.h"
#include "window_harness.h"

#include <QAbstractItemView>
#include <QClipboard>
#include <QLabel>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <fstream>
#include <thread>

using namespace ferrowyn;
using ferrowyn::test::readFile;
using ferrowyn::test::WindowHarness;

namespace {

const QString kFailure = QStringLiteral("There was a problem Obliterating the file!");

// Every text the progress label takes, in order, and how often the label and the whole window are painted.
struct Watch : QObject {
    explicit Watch(frmMain& w) : window(w) {
        connect(w.lblOblPos, &Label::Change, this, [this] { captions.append(window.lblOblPos->Caption()); });
        w.installEventFilter(this);
        w.lblOblPos->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            labelPaints += watched == window.lblOblPos ? 1 : 0;
            windowRepaints +=
                watched == &window && static_cast<QPaintEvent*>(event)->rect() == window.rect() ? 1 : 0;
        }
        return false;
    }
    frmMain& window;
    QStringList captions;
    int labelPaints = 0;
    int windowRepaints = 0;
};

} // namespace

class WindowObliterateTest : public QObject {
    Q_OBJECT

private slots:
    void answeringYesShowsProgressThenSuccessAndTheFileIsGone() {
        WindowHarness h;
        const auto path = h.makeFile("secret.bin", 102400);
        h.makeFile("other.txt");
        frmMain& w = h.startWindow();
        h.selectFile("secret.bin");
        const QString details = w.lblFileInfo->Caption();
        Watch watch(w);
        // A click on the list while the pass runs is dropped, not replayed once it is over.
        auto* list = qobject_cast<QAbstractItemView*>(w.flsFileList->focusProxy());
        const QPoint onOther = list->visualRect(list->model()->index(0, 0)).center();
        connect(w.lblOblPos, &Label::Change, this, [&] {
            if (w.lblOblPos->Caption().isEmpty()) {
                return; // the pass is over
            }
            for (const auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
                QCoreApplication::postEvent(list->viewport(),
                                            new QMouseEvent(type, onOther, list->viewport()->mapToGlobal(onOther),
                                                            Qt::LeftButton, Qt::LeftButton, {}));
            }
        });
        h.confirmObliteration();
        h.clickObliterate();
        QCoreApplication::processEvents();
        QCOMPARE(w.flsFileList->ListIndex(), -1);
        QCOMPARE(watch.captions, QStringList({"0%", "32%", "64%", "75%", ""}));
        QCOMPARE(test::shownPrompts().last(), h.plainOutcome());
        QVERIFY(MessageBox::shown().last().title == "Ferrowyn" &&
                MessageBox::shown().last().buttons == MessageButtons::Ok);
        QVERIFY(!std::filesystem::exists(path) && h.fileNames() == QStringList{"other.txt"});
        QVERIFY(w.lblFileInfo->Caption() == details && !w.btnObliterate->Enabled());
        // The window is painted again after the confirmation closes, and after each question before the first
        // write (under Wine, the one about its drive), before the pass begins.
        QCOMPARE(watch.windowRepaints, MessageBox::shown().size() - 1);
    }

    // A device that stalls the pass (a frozen file system, as root) leaves the window painting and answering:
    // the pass waits on its own thread, the user's clicks are dropped, and a close waits for the pass, then asks.
    void theWindowPaintsWhileTheDeviceStallsThePassAndACloseWaitsForIt() {
        WindowHarness h;
        const auto disk = h.makeFolder("disk");
        std::filesystem::resize_file(h.makeFile("disk.img", 0), 8 << 20);
        const std::string thaw = "fsfreeze -u '" + disk.string() + "' 2>/dev/null";
        struct Unmount {
            std::string thaw, unmount;
            ~Unmount() { std::system((thaw + "; " + unmount).c_str()); }
        } unmount{thaw, "umount '" + disk.string() + "' 2>/dev/null"}; // however the test ends
        if (!test::run("mkfs.ext4 -q -F '" + h.pathOf("disk.img").string() + "' && mount -o loop '" +
                       h.pathOf("disk.img").string() + "' '" + disk.string() + "'")) {
            QSKIP("no file system of our own can be mounted and frozen here (needs root)");
        }
        h.makeFile("disk/stalled.bin", 64 * 32768);
        frmMain& w = h.startWindow();
        h.openFolder("disk");
        h.selectFile("stalled.bin");
        Watch watch(w);
        QVERIFY(test::run("fsfreeze -f '" + disk.string() + "'"));
        std::thread([thaw] { // should the window not answer, the pass goes on after a while and the test fails
            std::this_thread::sleep_for(std::chrono::seconds(5));
            std::system(thaw.c_str());
        })
            .detach();
        QStringList seenWhileStalled;
        QTimer::singleShot(200, &w, [&] {
            w.update();
            QTimer::singleShot(100, &w, [&] {
                seenWhileStalled = {w.lblOblPos->Caption(), QString::number(watch.windowRepaints),
                                    w.close() ? "closed" : "open"};
                std::system(thaw.c_str());
            });
        });
        MessageBox::setNextAnswer(MessageAnswer::Yes);
        MessageBox::setNextAnswer(MessageAnswer::Yes); // the success
        MessageBox::setNextAnswer(MessageAnswer::No);  // then the close's question
        h.clickObliterate();
        QCOMPARE(seenWhileStalled, QStringList({"", "2", "open"})); // no block yet; painted since the confirmation
        QCOMPARE(test::shownPrompts().at(1).section("\n\n", 0, 0), QString("File Obliterated Successfully"));
        QTRY_COMPARE(test::shownPrompts().size(), 3);
        QCOMPARE(test::shownPrompts().last(), QString("Are you sure you want to quit?"));
        QVERIFY(w.isVisible() && !std::filesystem::exists(h.pathOf("disk/stalled.bin")));
    }

    // The label is painted once for each new percentage, not once for every block.
    void theProgressLabelIsPaintedOnlyWhenItsTextChanges() {
        WindowHarness h;
        h.makeFile("large.bin", 400 * 32768);
        frmMain& w = h.startWindow();
        h.selectFile("large.bin");
        Watch watch(w);
        h.confirmObliteration();
        h.clickObliterate();
        QCOMPARE(watch.captions.size(), 101); // 0% to 99%, then empty
        QCOMPARE(watch.labelPaints, watch.captions.size() + watch.windowRepaints);
    }

    // The file under the selected name was replaced, or it changed, after it was selected: nothing is written,
    // the message says why below its first line, and the list is read again to show what is there now.
    void aFailureSaysWhyAndLeavesTheFileAsItWas() {
        const std::pair<const char*, std::function<void(WindowHarness&)>> cases[] = {
            {"it was replaced since it was selected",
             [](WindowHarness& h) { std::filesystem::rename(h.pathOf("other.txt"), h.pathOf("chosen.txt")); }},
            {"it changed since it was selected",
             [](WindowHarness& h) { std::ofstream(h.pathOf("chosen.txt"), std::ios::app) << "appended"; }},
        };
        for (const auto& [reason, meanwhile] : cases) {
            WindowHarness h;
            h.makeFile("chosen.txt", 70000);
            h.makeFile("other.txt", 70000);
            frmMain& w = h.startWindow();
            h.selectFile("chosen.txt");
            meanwhile(h);
            const auto before = readFile(h.pathOf("chosen.txt"));
            MessageBox::setNextAnswer(MessageAnswer::Yes);
            h.clickObliterate();
            QCOMPARE(test::shownPrompts().mid(1),
                     QStringList{kFailure + "\n\nCannot open " + shownText(h.pathOf("chosen.txt")) +
                                 " for writing: " + reason});
            QCOMPARE(readFile(h.pathOf("chosen.txt")), before);
            QCOMPARE(w.lblOblPos->Caption(), QString());
            QVERIFY(!w.btnObliterate->Enabled() && w.flsFileList->ListIndex() == -1);
        }
    }

    // The confirmation, then before anything is written the questions about other names that share the file's
    // contents and about a drive that may keep the old contents: No, their default, writes nothing. Every road
    // ends with the list read again and the button disabled.
    void answeringNoOrTheQuestionsBeforeWritingTouchesNothing() {
        WindowHarness h;
        h.makeFile("linked.txt", 5000);
        std::filesystem::create_hard_link(h.pathOf("linked.txt"), h.pathOf("other name.txt"));
        const auto original = readFile(h.pathOf("linked.txt"));
        // An overlay's lower layer keeps the original whatever is written over it (only root may mount one).
        const auto overlay = h.makeFolder("overlay");
        h.makeFolder("upper");
        h.makeFolder("work");
        h.makeFile("lower/secret.txt", 5000);
        const std::string layers = "lowerdir=" + h.pathOf("lower").string() +
                                   ",upperdir=" + h.pathOf("upper").string() +
                                   ",workdir=" + h.pathOf("work").string();
        const bool mounted =
            std::system(
                ("mount -t overlay overlay -o " + layers + " '" + overlay.string() + "' 2>/dev/null").c_str()) ==
            0;
        struct Unmount {
            std::filesystem::path at;
            ~Unmount() { std::system(("umount '" + at.string() + "' 2>/dev/null").c_str()); }
        } unmount{overlay}; // however the test ends
        frmMain& w = h.startWindow();
        h.selectFile("linked.txt");
        h.makeFile("arrived-meanwhile.txt");
        MessageBox::setNextAnswer(MessageAnswer::No);
        h.clickObliterate();
        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown().first().title, QString("Obliterate linked.txt?"));
        QCOMPARE(MessageBox::shown().first().prompt,
                 QString("Are you sure you want to obliterate linked.txt?  This is an irreversable "
                         "operation, which will completely obliterate the contents of the file."));
        QCOMPARE(MessageBox::shown().first().buttons, MessageButtons::YesNo);
        QCOMPARE(h.fileNames(), QStringList({"arrived-meanwhile.txt", "linked.txt", "other name.txt"}));
        QVERIFY(!w.btnObliterate->Enabled() && w.flsFileList->ListIndex() == -1);

        h.selectFile("linked.txt");
        MessageBox::setNextAnswer(MessageAnswer::Yes);
        h.clickObliterate(); // the second box finds no answer: No
        QCOMPARE(MessageBox::shown().size(), 3);
        QCOMPARE(
            MessageBox::shown().last().prompt,
            QString("This file has 1 other name that shares its contents (a hard link)%1. After the obliteration "
                    "that name will hold only spaces.\n\nDo you want to go on?")
                .arg(test::plainOutcome() == PassOutcome::Obliterated ? ": other name.txt"
                                                                      : ", in other folders"));
        QCOMPARE(MessageBox::shown().last().title, QString("Obliterate linked.txt?"));
        QCOMPARE(MessageBox::shown().last().defaultAnswer, MessageAnswer::No);
        QCOMPARE(readFile(h.pathOf("linked.txt")), original);
        if (!mounted) {
            QSKIP("an overlay cannot be mounted here (needs root)");
        }
        const QString question =
            "On this drive the file will be overwritten and deleted, but its old contents may "
            "remain on the device, because it lies in an overlay whose lower layer keeps the "
            "original, out of reach of this overwrite.\n\nDo you want to go on?";
        h.openFolder("overlay");
        for (const MessageAnswer answer : {MessageAnswer::No, MessageAnswer::Yes}) {
            MessageBox::clearScript();
            h.selectFile("secret.txt");
            MessageBox::setNextAnswer(MessageAnswer::Yes);
            MessageBox::setNextAnswer(answer);
            h.clickObliterate();
            QCOMPARE(MessageBox::shown().at(1).prompt, question);
            QCOMPARE(MessageBox::shown().at(1).defaultAnswer, MessageAnswer::No);
            QCOMPARE(std::filesystem::exists(overlay / "secret.txt"), answer == MessageAnswer::No);
        }
        QCOMPARE(
            test::shownPrompts().last(),
            QString(
                "The file was overwritten and deleted, but its old contents may remain on the device, because "
                "it lies in an overlay whose lower layer keeps the original, out of reach of this overwrite."));
    }

    // Other programs that have the file, named with their process: one that holds it locked refuses it; those
    // that have it open without a lock, or mapped into their memory, are asked about, with No the default.
    void theProgramsThatHaveTheFileAreNamedInTheRefusalOrTheQuestion() {
#ifdef _WIN32
        QSKIP("Windows refuses a file another program has open, and Wine names none of them");
#else
        WindowHarness h;
        const auto path = h.makeFile("shared.txt", 5000);
        const auto original = readFile(path);
        h.startWindow();
        const auto named = [](const test::HoldingProcess& holder) {
            return QString::fromStdString(holder.named("window_obliterate_test"));
        };
        {
            const test::HoldingProcess locker(path, test::HoldingProcess::Locked);
            h.selectFile("shared.txt");
            MessageBox::setNextAnswer(MessageAnswer::Yes);
            h.clickObliterate();
            QCOMPARE(test::shownPrompts().last(), kFailure + "\n\nCannot open " + shownText(path) +
                                                      " for writing: it is locked by " + named(locker));
        }
        const QString said = ". A program that has the file open may write its old contents back after the "
                             "obliteration, for example when it saves.\n\nDo you want to go on?";
        const auto asked = [&] {
            h.selectFile("shared.txt");
            MessageBox::setNextAnswer(MessageAnswer::Yes);
            h.clickObliterate(); // the question finds no answer: No
            return MessageBox::shown().last().prompt;
        };
        const test::HoldingProcess editor(path, test::HoldingProcess::Open);
        QCOMPARE(asked(), "Another program has this file open: " + named(editor) + said);
        const test::HoldingProcess viewer(path, test::HoldingProcess::Mapped);
        QCOMPARE(asked(), "Other programs have this file open: " + named(editor) + " and " + named(viewer) + said);
        QCOMPARE(MessageBox::shown().last().defaultAnswer, MessageAnswer::No);
        QCOMPARE(readFile(path), original);
#endif
    }

    // Names that look alike are two files, told apart in the list, the details and the questions (a backslash
    // against a byte that is not UTF-8, a trailing space, a control, the same letters composed or not); each entry
    // destroys its own file and nothing else. A long name shows whole in the details, and a box with a path as
    // long as a path gets stays inside the screen, its reason and buttons in view.
    void lookAlikeNamesAreToldApartLongOnesShowWholeAndEachDestroysOnlyItself() {
        WindowHarness h;
        const bool windows = QSysInfo::productType() == "windows";
        std::vector<std::pair<std::filesystem::path, std::filesystem::path>> pairs = {
            {u8"caf\u00E9.txt", u8"cafe\u0301.txt"}};
        if (!windows) { // Windows names hold no backslash, control or trailing space
            pairs.insert(pairs.end(), {{"plan\\xFF.txt", "plan\xFF.txt"},
                                       {"report.txt", "report.txt "},
                                       {"tab\tand\nline.txt", "tab and line.txt"}});
        }
        for (const auto& [one, other] : pairs) {
            h.makeFile(one, 3);
            h.makeFile(other, 10);
        }
        const std::filesystem::path longName = std::string(windows ? 200 : 242, 'n');
        const std::filesystem::path cyrillic = QString(117, QChar(0x0436)).toStdU16String(); // 234 bytes in UTF-8
        h.makeFile(longName);
        h.makeFile(cyrillic);
        frmMain& w = h.startWindow();
        const auto texts = [&](const std::filesystem::path& name) {
            h.selectFile(shownText(name));
            const QStringList details = w.lblFileInfo->Caption().split("\r\n");
            MessageBox::setNextAnswer(MessageAnswer::No);
            h.clickObliterate();
            return QStringList{details.first(), QString::number(details.size()), MessageBox::shown().last().title,
                               MessageBox::shown().last().prompt};
        };
        for (const auto& [one, other] : pairs) {
            const QStringList a = texts(one);
            const QStringList b = texts(other);
            QCOMPARE(a.at(0), shownText(h.pathOf(one)));
            QVERIFY(a[0] != b[0] && a[1] == "5" && b[1] == "5" && a[2] != b[2] && a[3] != b[3]);
        }
        const QStringList listed = h.fileNames();
        QCOMPARE(QSet<QString>(listed.begin(), listed.end()).size(), listed.size());

        for (const auto& name : {longName, cyrillic}) {
            h.selectFile(shownText(name));
            QCoreApplication::processEvents(); // the label lays its text out again
            const auto* details = w.lblFileInfo->findChild<QLabel*>();
            const auto* area = w.lblFileInfo->findChild<QScrollArea*>();
            QVERIFY(details->text().remove(QChar(0x200B)).endsWith(" bytes long"));
            QVERIFY(details->width() <= area->viewport()->width());
            QVERIFY(details->height() >= details->heightForWidth(details->width()));
            QVERIFY(area->verticalScrollBar()->maximum() > 0); // all of it can be reached
        }
        MessageBox::clearScript();
        std::filesystem::path tooLong = h.work();
        while (tooLong.native().size() < 10000) { // far longer than any screen here shows whole
            tooLong /= longName;
        }
        frmMain& refused = h.startWindow({tooLong});
        auto box = MessageBox::boxFor(MessageBox::shown().first(), &refused);
        box->show();
        QVERIFY(QTest::qWaitForWindowExposed(box.get()));
        QVERIFY(refused.screen()->availableGeometry().contains(box->frameGeometry()));
        const auto* scroll = box->findChild<QScrollArea*>()->verticalScrollBar();
        QVERIFY(scroll->maximum() > 0 && scroll->value() == scroll->maximum()); // from its end: the reason
        const auto* ok = box->findChild<QPushButton*>();
        QVERIFY(ok->isVisible() && box->rect().contains(QRect(ok->mapTo(box.get(), QPoint()), ok->size())));
        QTest::keyClick(box.get(), Qt::Key_C, Qt::ControlModifier); // copied as it reads, without break marks
        QCOMPARE(QGuiApplication::clipboard()->text(), "Ferrowyn\n\n" + MessageBox::shown().first().prompt);
        box.reset();

        h.startWindow();
        h.selectFile(shownText(pairs.front().first));
        h.confirmObliteration();
        h.clickObliterate();
        QCOMPARE(test::shownPrompts().last(), h.plainOutcome());
        QVERIFY(!std::filesystem::exists(h.pathOf(pairs.front().first)));
        QCOMPARE(readFile(h.pathOf(pairs.front().second)), "abcdefghij");
    }

    // The folder goes once the file is gone and before the tail re-reads it: the lists move up, and the success
    // stays the only outcome.
    void aFolderThatGoesBeforeTheTailMovesTheListsUp() {
        WindowHarness h;
        h.makeFile("sub/victim.bin", 1000);
        frmMain& w = h.startWindow();
        h.openFolder("sub");
        h.selectFile("victim.bin");
        connect(w.lblOblPos, &Label::Change, this, [&] {
            if (w.lblOblPos->Caption().isEmpty()) {
                std::filesystem::remove(h.pathOf("sub"));
            }
        });
        h.confirmObliteration();
        h.clickObliterate();
        const QStringList prompts = test::shownPrompts().mid(MessageBox::shown().size() - 2);
        QCOMPARE(prompts.first(), h.plainOutcome());
        QVERIFY(prompts.last().startsWith("Cannot open the folder " + shownText(h.pathOf("sub")) + ": "));
        QCOMPARE(w.dlsDirList->Path(), h.work());
        QCOMPARE(h.programEnds, QList<int>());
    }
};

QTEST_MAIN(WindowObliterateTest)
#include "window_obliterate_test.moc"
