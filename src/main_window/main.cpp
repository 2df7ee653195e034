#include "main_window/frmMain.h"
#include "main_window/given_files.h"
#include "main_window/start_folder.h"
#include "platform/core/running_mark.h"
#include "platform/gui/default_handling.h"

#include <QApplication>
#include <QSessionManager>

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
        window->start(files);
    });
    return QApplication::exec();
}
