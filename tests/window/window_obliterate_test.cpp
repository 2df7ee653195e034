// The obliterate command, driven through the real window: confirmation, progress, outcome and the tail.

#include "platform/message_box.h"
#include "undeletable_folder.h"
#include "window_harness.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace ferrowyn;
using ferrowyn::test::WindowHarness;

namespace {

const QString kFailure = QStringLiteral("There was a problem Obliterating the file!");
const QString kSuccess = QStringLiteral("File Obliterated Successfully");

QByteArray contentsOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

QByteArray varied(qint64 size) {
    QByteArray bytes(size, 0);
    for (qint64 i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>('a' + i % 26);
    }
    return bytes;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

int openDescriptors() {
    return static_cast<int>(QDir("/proc/self/fd").entryList(QDir::NoDotAndDotDot | QDir::System).size());
}

// Every text the progress label takes, in order.
struct CaptionLog {
    explicit CaptionLog(Label* label) {
        QObject::connect(label, &Label::Change, label, [this, label] { captions.append(label->Caption()); });
    }
    QStringList captions;
};

} // namespace

class WindowObliterateTest : public QObject {
    Q_OBJECT

private slots:
    void answeringNoTouchesNothingAndEndsWithTheTail() {
        WindowHarness h;
        const QString path = h.pathOf("keep.txt");
        writeFile(path, varied(5000));
        QFile stamp(path);
        QVERIFY(stamp.open(QIODevice::ReadOnly));
        QVERIFY(
            stamp.setFileTime(QDateTime(QDate(2020, 1, 2), QTime(3, 4, 5)), QFileDevice::FileModificationTime));
        stamp.close();
        frmMain& w = h.startWindow();
        h.clickFile("keep.txt");
        h.makeFile("arrived-meanwhile.txt");

        MessageBox::setNextAnswer(MessageAnswer::No);
        h.clickObliterate();
        QCOMPARE(MessageBox::shown().size(), 1);
        const ShownMessage question = MessageBox::shown().first();
        QCOMPARE(question.title, QString("Obliterate keep.txt?"));
        QCOMPARE(question.prompt,
                 QString("Are you sure you want to obliterate keep.txt?  This is an irreversable "
                         "operation, which will completely obliterate the contents of the file."));
        QCOMPARE(question.buttons, MessageButtons::YesNo);
        QCOMPARE(contentsOf(path), varied(5000));
        QCOMPARE(QFileInfo(path).lastModified(), QDateTime(QDate(2020, 1, 2), QTime(3, 4, 5)));
        QCOMPARE(h.fileNames(), QStringList({"arrived-meanwhile.txt", "keep.txt"}));
        QCOMPARE(w.flsFileList->ListIndex(), -1);
        QVERIFY(!w.btnObliterate->Enabled());
    }

    void answeringYesShowsProgressThenSuccessAndTheFileIsGone() {
        WindowHarness h;
        const QString path = h.pathOf("secret.bin");
        writeFile(path, varied(102400));
        frmMain& w = h.startWindow();
        h.clickFile("secret.bin");
        const QString details = w.lblFileInfo->Caption();
        CaptionLog log(w.lblOblPos);
        QByteArray onDiskAtLastBlock;
        connect(w.lblOblPos, &Label::Change, this, [&] {
            if (w.lblOblPos->Caption() == "75%") {
                onDiskAtLastBlock = contentsOf(path);
            }
        });

        MessageBox::setNextAnswer(MessageAnswer::Yes);
        h.clickObliterate();
        QCOMPARE(log.captions, QStringList({"0%", "32%", "64%", "75%", ""}));
        QCOMPARE(onDiskAtLastBlock, QByteArray(131072, ' '));
        QCOMPARE(MessageBox::shown().size(), 2);
        QCOMPARE(MessageBox::shown().last().prompt, kSuccess);
        QCOMPARE(MessageBox::shown().last().title, QString("Ferrowyn"));
        QCOMPARE(MessageBox::shown().last().buttons, MessageButtons::Ok);
        QVERIFY(!QFile::exists(path));
        QVERIFY(h.fileNames().isEmpty());
        QCOMPARE(w.lblFileInfo->Caption(), details);
        QVERIFY(!w.btnObliterate->Enabled());
    }

    void anEmptyFileShowsNoPercentageAndIsDeleted() {
        WindowHarness h;
        h.makeFile("empty.txt", 0);
        frmMain& w = h.startWindow();
        h.clickFile("empty.txt");
        CaptionLog log(w.lblOblPos);
        MessageBox::setNextAnswer(MessageAnswer::Yes);
        h.clickObliterate();
        QVERIFY(log.captions.isEmpty());
        QCOMPARE(test::shownPrompts().last(), kSuccess);
        QVERIFY(!QFile::exists(h.pathOf("empty.txt")));
    }

    void aReadOnlyFileOrALinkFailsAndIsLeftAsItWas() {
        WindowHarness h;
        const QString readOnly = h.pathOf("readonly.txt");
        const QString target = h.pathOf("target.txt");
        writeFile(readOnly, varied(70000));
        writeFile(target, varied(70000));
        QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        h.makeFile("link.txt");
        frmMain& w = h.startWindow();

        for (const QString name : {"readonly.txt", "link.txt"}) {
            h.clickFile(name);
            if (name == "link.txt") {
                // Swapped for a link after it was listed and selected.
                QFile::remove(h.pathOf(name));
                QVERIFY(QFile::link(target, h.pathOf(name)));
            }
            MessageBox::clearScript();
            const int descriptors = openDescriptors();
            MessageBox::setNextAnswer(MessageAnswer::Yes);
            h.clickObliterate();
            QCOMPARE(test::shownPrompts().last(), kFailure);
            QCOMPARE(openDescriptors(), descriptors);
            QCOMPARE(w.lblOblPos->Caption(), QString());
            QVERIFY(!w.btnObliterate->Enabled());
        }
        QCOMPARE(contentsOf(readOnly), varied(70000));
        QCOMPARE(contentsOf(target), varied(70000));
        QVERIFY(QFileInfo(h.pathOf("link.txt")).isSymLink());
    }

    void aRefusedDeleteFailsWithTheFileFullyOverwritten() {
        WindowHarness h;
        const QString folder = h.makeFolder("locked");
        const QString path = folder + "/victim.bin";
        writeFile(path, varied(40000));
        frmMain& w = h.startWindow();
        h.openFolder("locked");
        h.clickFile("victim.bin");
        test::UndeletableFolder lock(QFile::encodeName(folder).toStdString());
        if (!lock.locked()) {
            QSKIP("this file system cannot make a folder refuse deletions");
        }
        const int descriptors = openDescriptors();
        MessageBox::setNextAnswer(MessageAnswer::Yes);
        h.clickObliterate();
        lock.unlock();
        QCOMPARE(test::shownPrompts().last(), kFailure);
        QCOMPARE(contentsOf(path), QByteArray(65536, ' '));
        QCOMPARE(openDescriptors(), descriptors);
        QCOMPARE(w.lblOblPos->Caption(), QString());
        QCOMPARE(h.fileNames(), QStringList{"victim.bin"});
    }

    // The folder is renamed while the pass runs: the delete by name fails, and then so does the tail's re-read.
    void anErrorInTheTailGoesToTheDefaultHandlingOnce() {
        WindowHarness h;
        h.makeFolder("sub");
        writeFile(h.pathOf("sub/victim.bin"), varied(1000));
        frmMain& w = h.startWindow();
        h.openFolder("sub");
        h.clickFile("victim.bin");
        connect(w.lblOblPos, &Label::Change, this, [&] {
            if (w.lblOblPos->Caption() == "0%") {
                QDir(h.work()).rename("sub", "moved");
            }
        });
        MessageBox::setNextAnswer(MessageAnswer::Yes);
        h.clickObliterate();
        QCOMPARE(test::shownPrompts().mid(1), QStringList({kFailure, "Cannot open the folder " + h.pathOf("sub") +
                                                                         ": No such file or directory"}));
        QCOMPARE(h.programEnds, QList<int>{EXIT_FAILURE});
        QCOMPARE(contentsOf(h.pathOf("moved/victim.bin")), QByteArray(32768, ' '));
    }
};

QTEST_MAIN(WindowObliterateTest)
#include "window_obliterate_test.moc"
