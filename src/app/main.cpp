// qv-updater: the desktop firmware updater for the QV-310 and QV-410 (hardware 2.0).

#include <QtWidgets/QApplication>
#include <cstdio>
#include <cstring>

#include "app/prompts.h"
#include "app/updater_dialog.h"
#include "program_version.h"
#include "protocol/radio_link.h"

namespace {

constexpr const char* kUsage =
    "Usage: qv-updater [DESIGNER]\n"
    "The desktop firmware updater of QV-310 and QV-410 radios (hardware 2.0): pick the radio's\n"
    "port, put the radio in its boot-loader mode and press Write.\n"
    "  DESIGNER   the designer word: Special Settings, with a Mot file of your own\n"
    "  --help     show this and end\n"
    "  --version  show the program's version and end\n"
    "For scripts and headless machines: qv-flash --help.\n";

// --version and --help answer without a window, so they need no display.
bool AnsweredWithoutAWindow(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("qv-updater %s\n", qv::kProgramVersion);
            return true;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (AnsweredWithoutAWindow(argc, argv)) {
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
