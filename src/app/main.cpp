// qv-updater: the desktop firmware updater for the QV-310 and QV-410 (hardware 2.0).

#include <QtWidgets/QApplication>
#include <cstdio>
#include <string>
#include <vector>

#include "app/prompts.h"
#include "app/updater_dialog.h"
#include "frontend/program_answer.h"
#include "protocol/radio_link.h"

int main(int argc, char** argv) {
    // --version and --help answer without a window, so they need no display.
    if (const auto answer =
            qv::AnswerWithoutWindow(std::vector<std::string>(argv + 1, argv + argc))) {
        std::fputs(answer->c_str(), stdout);
        return 0;
    }
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
