// osmerak: lists the commands that commands.xml configures for the window in front, and sends the
// chosen command's keys to it; N switches to a list of the open windows. Driven by Up, Down, N,
// Enter and Escape, so a gesture configuration can operate it; the dialog's window class is
// "Osmerak" for that purpose.
//
// commands.xml is read from the working directory; without one there, from the user's
// copy in $XDG_CONFIG_HOME/zorvexa, made from the shipped file on first start.
#include <QApplication>
#include <QScreen>

#include "commandtool/app/CommandDialog.h"
#include "commandtool/app/QtScheduler.h"
#include "commandtool/controller/CommandDialogController.h"
#include "main/shell/AppPaths.h"
#include "platform/Desktop.h"
#include "platform/DesktopChoice.h"

int main(int argc, char** argv) {
    // WM_CLASS becomes ("Osmerak", "Osmerak"): instance from RESOURCE_NAME, class from
    // the application name.
    qputenv("RESOURCE_NAME", QByteArrayLiteral("Osmerak"));
    zorvexa::preferXWaylandForQt();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Osmerak"));
    // The app_id when Qt runs natively on Wayland (no XWayland).
    QGuiApplication::setDesktopFileName(QStringLiteral("Osmerak"));
    QApplication::setQuitOnLastWindowClosed(false);

    const std::shared_ptr<zorvexa::Desktop> desktop = zorvexa::openSystemDesktop();
    zorvexa::QtScheduler scheduler(&app);
    zorvexa::CommandDialogController controller(*desktop, scheduler);
    zorvexa::CommandDialog dialog(controller);

    controller.dialogEnded = [&dialog](bool) { dialog.hide(); };
    controller.finished = [] { QCoreApplication::quit(); };
    controller.showNotice = [&dialog](const std::string& text) {
        dialog.showMessage(QString::fromStdString(text));
    };

    // The window in front now, before the dialog exists on screen, is the target.
    controller.setOwnWindow(static_cast<zorvexa::WindowId>(dialog.winId()));
    const std::string commandsFile =
        zorvexa::userConfigFile(zorvexa::resolveAppPaths(), zorvexa::currentDirectory(),
                                zorvexa::CommandStore::kDefaultFileName);
    controller.start(commandsFile);
    if (controller.ended()) {
        return 0;
    }

    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        dialog.placeOnScreen(screen->geometry());
    }
    dialog.show();
    dialog.raise();
    dialog.activateWindow();
    return app.exec();
}
