// The command line as the system gives it, through the same steps as the program's own start: "--" ends every
// option, Qt's own included, so that files named like Qt's options are files; before it, Qt takes its own.
// CTest starts it as: window_command_line_test -style fusion -- -reverse -style x -platform x -dash.txt

#include "window_harness.h"

#include <QApplication>
#include <QStyle>
#include <QTest>

using namespace ferrowyn;

namespace {

const CommandLine* g_commandLine = nullptr;

} // namespace

class WindowCommandLineTest : public QObject {
    Q_OBJECT

private slots:
    void qtTakesItsOwnOptionsOnlyBeforeTheMark() {
        test::WindowHarness h;
        for (const char* name : {"-reverse", "-style", "x", "-platform", "-dash.txt"}) {
            h.makeFile(name);
        }
        frmMain& w = h.startWindow(givenFiles(g_commandLine->arguments()));
        QCOMPARE(QApplication::style()->name(), QString("fusion"));
        QVERIFY(!QApplication::isRightToLeft());
        QCOMPARE(w.flsFileList->FileName(), std::filesystem::path("-reverse"));
        QCOMPARE(
            test::shownPrompts(),
            QStringList{"Ferrowyn obliterates one file at a time: -reverse of the 6 files given is selected."});
    }
};

int main(int argc, char** argv) {
    CommandLine commandLine(argc, argv);
    g_commandLine = &commandLine;
    QApplication app(commandLine.qtArgc(), commandLine.qtArgv());
    WindowCommandLineTest test;
    return QTest::qExec(&test, 1, argv); // the test framework sees the program's name alone
}

#include "window_command_line_test.moc"
