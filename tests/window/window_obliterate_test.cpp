// The obliterate command, driven through the real window: confirmation, progress, outcome and the tail.

#include "platform/gui/message_box.h"
#include "platform/gui/path_text.h"
#include "window_harness.h"

#include <QDir>
#include <QPaintEvent>
#include <QTest>
#include <fstream>

using namespace ferrowyn;
using ferrowyn::test::WindowHarness;
using ferrowyn::test::contentsOf;

namespace {

const QString kFailure = QStringLiteral("There was a problem Obliterating the file!");
const QString kSuccess = QStringLiteral("File Obliterated Successfully");

QByteArray varied(qint64 size) {
    QByteArray bytes(size, 0);
    for (qint64 i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>('a' + i % 26);
    }
    return bytes;
}

void writeFile(const std::filesystem::path& path, const QByteArray& bytes) {
    std::ofstream(path, std::ios::binary) << bytes.toStdString();
}

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
        writeFile(h.pathOf("keep.txt"), varied(5000));
        const auto modified = std::filesystem::last_write_time(h.pathOf("keep.txt"));
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
        QCOMPARE(contentsOf(h.pathOf("keep.txt")), varied(5000));
        QVERIFY(std::filesystem::last_write_time(h.pathOf("keep.txt")) == modified);
        QCOMPARE(h.fileNames(), QStringList({"arrived-meanwhile.txt", "keep.txt"}));
        QCOMPARE(w.flsFileList->ListIndex(), -1);
        QVERIFY(!w.btnObliterate->Enabled());
    }

    void answeringYesShowsProgressThenSuccessAndTheFileIsGone() {
        WindowHarness h;
        const auto path = h.pathOf("secret.bin");
        writeFile(path, varied(102400));
        frmMain& w = h.startWindow();
        h.selectFile("secret.bin");
        const QString details = w.lblFileInfo->Caption();
        Watch watch(w);
        QByteArray onDiskAtLastBlock;
        connect(w.lblOblPos, &Label::Change, &watch, [&] {
            if (w.lblOblPos->Caption() == "75%") {
                onDiskAtLastBlock = contentsOf(path);
            }
        });
        MessageBox::setNextAnswer(MessageAnswer::Yes);
        h.clickObliterate();
        QCOMPARE(watch.captions, QStringList({"0%", "32%", "64%", "75%", ""}));
        // Held for the pass alone on Windows; elsewhere another program sees the spaces.
        QVERIFY(onDiskAtLastBlock == QByteArray(131072, ' ') || QSysInfo::productType() == "windows");
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
        writeFile(h.pathOf("large.bin"), QByteArray(400 * 32768, 'x'));
        frmMain& w = h.startWindow();
        h.selectFile("large.bin");
        Watch watch(w);
        MessageBox::setNextAnswer(MessageAnswer::Yes);
        h.clickObliterate();
        QCOMPARE(watch.captions.size(), 101); // 0% to 99%, then empty
        QCOMPARE(watch.labelPaints, watch.captions.size() + watch.windowRepaints);
    }

    void aFailureSaysWhyAndLeavesTheFileAsItWas() {
        WindowHarness h;
        for (const char* name : {"readonly.txt", "replaced.txt", "locked.txt", "other.txt"}) {
            writeFile(h.pathOf(name), varied(70000));
        }
        std::filesystem::permissions(h.pathOf("readonly.txt"), std::filesystem::perms::owner_write |
                                         std::filesystem::perms::group_write | std::filesystem::perms::others_write,
                                     std::filesystem::perm_options::remove);
        frmMain& w = h.startWindow();
        std::vector<std::pair<QString, QString>> cases = {
            {"readonly.txt", "the file is read-only"},
            {"replaced.txt", "it was replaced since it was selected"},
        };
        QFile holder(QString::fromStdString(h.pathOf("locked.txt").string()));
        if (QSysInfo::productType() == "windows") { // elsewhere another program's open file is no lock
            QVERIFY(holder.open(QIODevice::ReadOnly));
            cases.push_back({"locked.txt", "it is locked by another program"});
        }
        for (const auto& [name, reason] : cases) {
            h.selectFile(name);
            if (name == "replaced.txt") {
                std::filesystem::copy_file(h.pathOf("other.txt"), h.pathOf("new.txt"));
                std::filesystem::rename(h.pathOf("new.txt"), h.pathOf("replaced.txt"));
            }
            MessageBox::clearScript();
            MessageBox::setNextAnswer(MessageAnswer::Yes);
            h.clickObliterate();
            QCOMPARE(test::shownPrompts().mid(1), QStringList{kFailure + "\n\nCannot open " +
                                                              shownText(h.pathOf(name.toStdString())) +
                                                              " for writing: " + reason});
            QCOMPARE(w.lblOblPos->Caption(), QString());
            QVERIFY(!w.btnObliterate->Enabled());
        }
        holder.close();
        for (const char* name : {"readonly.txt", "replaced.txt", "locked.txt", "other.txt"}) {
            QCOMPARE(contentsOf(h.pathOf(name)), varied(70000));
        }
    }

    // Two names that read alike are two files: each entry destroys its own file and nothing else.
    void namesThatAreNotUtf8AreObliteratedByTheirExactBytes() {
        if (QSysInfo::productType() == "windows") {
            QSKIP("Windows names are UTF-16 text");
        }
        WindowHarness h;
        const std::filesystem::path raw = "a\xFF";
        const std::filesystem::path lookAlike = "a\xEF\xBF\xBD"; // "a" and U+FFFD
        writeFile(h.pathOf(raw), "raw");
        writeFile(h.pathOf(lookAlike), "look-alike");
        h.startWindow();
        QCOMPARE(h.fileNames(), QStringList({"a\\xFF", QString::fromUtf8("a\xEF\xBF\xBD")}));
        h.selectFile("a\\xFF");
        MessageBox::setNextAnswer(MessageAnswer::Yes);
        h.clickObliterate();
        QCOMPARE(test::shownPrompts(), QStringList({"Are you sure you want to obliterate a\\xFF?  This is an irreversable "
                                                    "operation, which will completely obliterate the contents of the file.",
                                                    kSuccess}));
        QVERIFY(!std::filesystem::exists(h.pathOf(raw)));
        QCOMPARE(contentsOf(h.pathOf(lookAlike)), QByteArray("look-alike"));
    }

    // The folder is renamed while the pass runs: the file is still reached through it and destroyed, and the tail
    // finds the folder gone and moves the lists up, without a second outcome.
    void aFolderRenamedDuringThePassStillLosesTheFileAndTheListsMoveUp() {
        WindowHarness h;
        h.makeFolder("sub");
        writeFile(h.pathOf("sub/victim.bin"), varied(1000));
        frmMain& w = h.startWindow();
        h.openFolder("sub");
        h.selectFile("victim.bin");
        connect(w.lblOblPos, &Label::Change, this, [&] {
            if (w.lblOblPos->Caption() == "0%") {
                QDir(QString::fromStdString(h.work().string())).rename("sub", "moved");
            }
        });
        MessageBox::setNextAnswer(MessageAnswer::Yes);
        h.clickObliterate();
        QCOMPARE(test::shownPrompts().mid(1),
                 QStringList({kSuccess, "Cannot open the folder " + shownText(h.pathOf("sub")) +
                                            ": No such file or directory"}));
        QCOMPARE(w.dlsDirList->Path(), h.work());
        QCOMPARE(h.folderNames().last(), QString("moved"));
        QCOMPARE(h.programEnds, QList<int>());
        QVERIFY(!std::filesystem::exists(h.pathOf("moved/victim.bin")));
    }
};

QTEST_MAIN(WindowObliterateTest)
#include "window_obliterate_test.moc"
