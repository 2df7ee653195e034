// The obliterate command, driven through the real window: confirmation, progress, outcome and the tail.

#include "platform/gui/message_box.h"
#include "platform/gui/path_text.h"
#include "window_harness.h"

#include <QPaintEvent>
#include <QTest>

using namespace ferrowyn;
using ferrowyn::test::WindowHarness;
using ferrowyn::test::readFile;

namespace {

const QString kFailure = QStringLiteral("There was a problem Obliterating the file!");
const QString kSuccess = QStringLiteral("File Obliterated Successfully");

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
            windowRepaints += watched == &window && static_cast<QPaintEvent*>(event)->rect() == window.rect() ? 1 : 0;
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
    void answeringNoTouchesNothingAndEndsWithTheTail() {
        WindowHarness h;
        h.makeFile("keep.txt", 5000);
        const auto original = readFile(h.pathOf("keep.txt"));
        frmMain& w = h.startWindow();
        h.selectFile("keep.txt");
        h.makeFile("arrived-meanwhile.txt");

        MessageBox::setNextAnswer(MessageAnswer::No);
        h.clickObliterate();
        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown().first().title, QString("Obliterate keep.txt?"));
        QCOMPARE(MessageBox::shown().first().prompt,
                 QString("Are you sure you want to obliterate keep.txt?  This is an irreversable "
                         "operation, which will completely obliterate the contents of the file."));
        QCOMPARE(MessageBox::shown().first().buttons, MessageButtons::YesNo);
        QCOMPARE(readFile(h.pathOf("keep.txt")), original);
        QCOMPARE(h.fileNames(), QStringList({"arrived-meanwhile.txt", "keep.txt"})); // read again, none selected
        QVERIFY(!w.btnObliterate->Enabled());
    }

    void answeringYesShowsProgressThenSuccessAndTheFileIsGone() {
        WindowHarness h;
        const auto path = h.pathOf("secret.bin");
        h.makeFile("secret.bin", 102400);
        frmMain& w = h.startWindow();
        h.selectFile("secret.bin");
        const QString details = w.lblFileInfo->Caption();
        Watch watch(w);
        MessageBox::setNextAnswer(MessageAnswer::Yes);
        h.clickObliterate();
        QCOMPARE(watch.captions, QStringList({"0%", "32%", "64%", "75%", ""}));
        QCOMPARE(test::shownPrompts().mid(1), QStringList{kSuccess});
        QCOMPARE(MessageBox::shown().last().title, QString("Ferrowyn"));
        QCOMPARE(MessageBox::shown().last().buttons, MessageButtons::Ok);
        QVERIFY(!std::filesystem::exists(path) && h.fileNames().isEmpty());
        QCOMPARE(w.lblFileInfo->Caption(), details);
        QVERIFY(!w.btnObliterate->Enabled());
        // The window is painted again after the confirmation closes, before the pass holds the event loop.
        QCOMPARE(watch.windowRepaints, 1);
    }

    // The label is painted once for each new percentage, not once for every block.
    void theProgressLabelIsPaintedOnlyWhenItsTextChanges() {
        WindowHarness h;
        h.makeFile("large.bin", 400 * 32768);
        frmMain& w = h.startWindow();
        h.selectFile("large.bin");
        Watch watch(w);
        MessageBox::setNextAnswer(MessageAnswer::Yes);
        h.clickObliterate();
        QCOMPARE(watch.captions.size(), 101); // 0% to 99%, then empty
        QCOMPARE(watch.labelPaints, watch.captions.size() + watch.windowRepaints);
    }

    // The file under the selected name was replaced after it was selected: nothing is written, and the message
    // says why below its first line.
    void aFailureSaysWhyAndLeavesTheFileAsItWas() {
        WindowHarness h;
        h.makeFile("chosen.txt", 70000);
        h.makeFile("other.txt", 70000);
        const auto original = readFile(h.pathOf("other.txt"));
        frmMain& w = h.startWindow();
        h.selectFile("chosen.txt");
        std::filesystem::rename(h.pathOf("other.txt"), h.pathOf("chosen.txt"));
        MessageBox::setNextAnswer(MessageAnswer::Yes);
        h.clickObliterate();
        QCOMPARE(test::shownPrompts().mid(1), QStringList{kFailure + "\n\nCannot open " + shownText(h.pathOf("chosen.txt")) +
                                                          " for writing: it was replaced since it was selected"});
        QCOMPARE(readFile(h.pathOf("chosen.txt")), original);
        QCOMPARE(w.lblOblPos->Caption(), QString());
        QVERIFY(!w.btnObliterate->Enabled());
    }

    // Two names that read alike are two files: each entry destroys its own file and nothing else.
    void namesThatAreNotUtf8AreObliteratedByTheirExactBytes() {
        if (QSysInfo::productType() == "windows") {
            QSKIP("Windows names are UTF-16 text");
        }
        WindowHarness h;
        const std::filesystem::path raw = "a\xFF";
        const std::filesystem::path lookAlike = "a\xEF\xBF\xBD"; // "a" and U+FFFD
        h.makeFile(raw, 3);
        h.makeFile(lookAlike, 10);
        h.startWindow();
        QCOMPARE(h.fileNames(), QStringList({"a\\xFF", QString::fromUtf8("a\xEF\xBF\xBD")}));
        h.selectFile("a\\xFF");
        MessageBox::setNextAnswer(MessageAnswer::Yes);
        h.clickObliterate();
        QVERIFY(test::shownPrompts().first().startsWith("Are you sure you want to obliterate a\\xFF?  "));
        QCOMPARE(test::shownPrompts().last(), kSuccess);
        QVERIFY(!std::filesystem::exists(h.pathOf(raw)));
        QCOMPARE(readFile(h.pathOf(lookAlike)), "abcdefghij");
    }

    // The folder goes once the file is gone and before the tail re-reads it: the lists move up, and the success
    // stays the only outcome.
    void aFolderThatGoesBeforeTheTailMovesTheListsUp() {
        WindowHarness h;
        h.makeFile(h.makeFolder("sub") / "victim.bin", 1000);
        frmMain& w = h.startWindow();
        h.openFolder("sub");
        h.selectFile("victim.bin");
        connect(w.lblOblPos, &Label::Change, this, [&] {
            if (w.lblOblPos->Caption().isEmpty()) {
                std::filesystem::remove(h.pathOf("sub"));
            }
        });
        MessageBox::setNextAnswer(MessageAnswer::Yes);
        h.clickObliterate();
        const QStringList prompts = test::shownPrompts().mid(1);
        QCOMPARE(prompts.size(), 2);
        QCOMPARE(prompts.first(), kSuccess);
        QVERIFY(prompts.last().startsWith("Cannot open the folder " + shownText(h.pathOf("sub")) + ": "));
        QCOMPARE(w.dlsDirList->Path(), h.work());
        QCOMPARE(h.programEnds, QList<int>());
    }
};

QTEST_MAIN(WindowObliterateTest)
#include "window_obliterate_test.moc"
