// qv-updater: the desktop firmware updater for the QV-310 and QV-410 (hardware 2.0).

#include <QtWidgets/QApplication>

#include "app/prompts.h"
#include "app/updater_dialog.h"
#include "protocol/radio_link.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    application.setApplicationName(QStringLiteral("qv-updater"));
    application.setDesktopFileName(QStringLiteral("qv-updater"));
    // The one link of the program: every exchange with the radio goes through it.
    qv::RadioLink link;
    qv::QtPrompts prompts;

    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();  // the program's name
    qv::UpdaterDialog window(link, arguments, prompts);
    window.exec();
    // The program ends with its window, however the window ended.
    return 0;
}
