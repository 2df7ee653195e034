#include "main_window/frmMain.h"
#include "main_window/given_files.h"
#include "main_window/start_folder.h"
#include "platform/core/running_mark.h"
#include "platform/widgets/default_handling.h"

#include <QApplication>
#include <QSessionManager>
#include <QWindow>

namespace {

// Ends the program once the window has first been painted on the screen, asking nothing and saving nothing: the
// start-up benchmark times the start as the user meets it, from the process's start to the window shown with its
// lists filled. Only where FERROWYN_QUIT_WHEN_PAINTED is set.
class QuitWhenPainted : public QObject {
public:
    explicit QuitWhenPainted(QWidget* window) : QObject(window), m_window(window) {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // The window system's expose is handled by painting the whole window at once; the end waits for that.
        if (event->type() == QEvent::Expose && watched == m_window->windowHandle() &&
            m_window->windowHandle()->isExposed()) {
            QMetaObject::invokeMethod(
                qApp, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    QWidget* m_window;
};

} // namespace

int main(int argc, char** argv) {
    ferrowyn::CommandLine commandLine(argc, argv);
    QApplication app(commandLine.qtArgc(), commandLine.qtArgv());
    QApplication::setApplicationName(QStringLiteral("Ferrowyn"));
    QApplication::setOrganizationName(QStringLiteral("Ferrowyn"));
    QApplication::setApplicationVersion(QStringLiteral(FERROWYN_FILE_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("ferrowyn"));
    // One optional file, as "Open with" and Explorer's context menu give it (Qt has taken its own options before
    // any "--"), taken against the working folder before the program may leave it.
    const auto files = ferrowyn::givenFiles(commandLine.arguments());
    ferrowyn::markRunning();
    ferrowyn::leaveProgramFolder();

    // A window with an owner gets no taskbar button; the owner itself is never shown. Qt does not count an owned
    // window as the application's last one, so the program ends when the window has unloaded, and not when the
    // last message box closes.
    QApplication::setQuitOnLastWindowClosed(false);
    QWidget owner;
    owner.winId();
    // Making the window meets the file system too (the drive list reads the volumes): an error there gets the
    // same default handling as in any handler.
    ferrowyn::runGuarded([&] {
        auto* window = new ferrowyn::frmMain(&owner);
        window->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(window, &QObject::destroyed, &app, &QCoreApplication::quit);
        QApplication::setWindowIcon(window->windowIcon());

        // The end of the user's session meets the same quit question as the close box.
        QObject::connect(&app, &QGuiApplication::commitDataRequest, window, [window](QSessionManager& manager) {
            if (manager.allowsInteraction()) {
                if (!window->close()) {
                    manager.cancel();
                }
                manager.release();
            }
        });
        if (qEnvironmentVariableIsSet("FERROWYN_QUIT_WHEN_PAINTED")) {
            new QuitWhenPainted(window);
        }
        window->start(files);
    });
    return QApplication::exec();
}
