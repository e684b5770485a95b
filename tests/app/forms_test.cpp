// The windows' forms: texts, mnemonics, default buttons, tab order and arrangement as the
// windows were designed.

#include <gtest/gtest.h>

#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>

#include "app/about_dialog.h"
#include "app/settings_dialog.h"
#include "app_fixture.h"

namespace qv::test {
namespace {

// Object names of the controls that Tab visits, in order, from the first one.
std::vector<std::string> TabChain(QWidget* first, int steps) {
    std::vector<std::string> names;
    QWidget* widget = first;
    for (int i = 0; i < steps && widget != nullptr; ++i) {
        names.push_back(widget->objectName().toStdString());
        widget = widget->nextInFocusChain();
        // Tab skips what takes no focus, hidden controls, and the inner fields of editable
        // lists (their list takes the focus for them).
        while (widget != nullptr && widget != first &&
               (!(widget->focusPolicy() & Qt::TabFocus) || widget->isHidden() ||
                widget->objectName().isEmpty())) {
            widget = widget->nextInFocusChain();
        }
    }
    return names;
}

TEST(Forms, MainWindow) {
    SerialPortsEnv noPorts({});
    AppFixture app;
    app.Start({"qzx"});  // Special Settings shown, so that it is in the tab chain
    UpdaterDialog& window = *app.window;
    EXPECT_EQ(app.ExitButton()->text(), "&Exit");
    EXPECT_EQ(app.WriteButton()->text(), "&Write");
    EXPECT_EQ(app.SpecialButton()->text(), "Special Settings");
    EXPECT_TRUE(app.ExitButton()->isDefault());
    EXPECT_EQ(app.Find<QLabel>("comPortLabel")->text(), "Com Port:");
    EXPECT_EQ(app.Find<QLabel>("progressLabel")->text(), "Progress");
    EXPECT_EQ(TabChain(app.ExitButton(), 4),
              (std::vector<std::string>{"exitButton", "specialSettingsButton", "portList",
                                        "writeButton"}));
    EXPECT_EQ(window.minimumSize(), window.maximumSize()) << "fixed size";
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(window.windowFlags() & Qt::WindowCloseButtonHint);

    // Write left of Exit on the bottom row, the bar across the window above them.
    const QRect write = app.WriteButton()->geometry();
    const QRect exit = app.ExitButton()->geometry();
    const QRect bar = app.ProgressBar()->geometry();
    EXPECT_EQ(write.top(), exit.top());
    EXPECT_LT(write.right(), exit.left());
    EXPECT_LT(bar.bottom(), write.top());
    EXPECT_GT(bar.width(), window.width() * 8 / 10);
    EXPECT_LT(app.PortList()->geometry().bottom(), bar.top());
}

TEST(Forms, SpecialSettings) {
    ScriptedPrompts prompts;
    SpecialSettingsDialog dialog(UpdaterSettings{}, prompts);
    auto* ok = dialog.findChild<QPushButton*>("okButton");
    EXPECT_TRUE(ok->isDefault());
    EXPECT_EQ(dialog.findChild<QPushButton*>("cancelButton")->text(), "Cancel");
    EXPECT_EQ(dialog.findChild<QLabel*>("noteLabel")->text().toStdString(),
              "This Baud Rate is used after PC reeives SYN from the radio.\n"
              "This Stop Bit is used after PC receives SYN from the radio.");
    // The hidden 19200 button takes no focus, so it drops out of the chain.
    EXPECT_EQ(
        TabChain(ok, 15),
        (std::vector<std::string>{
            "okButton", "cancelButton", "baud57600Radio", "baud38400Radio", "baud115200Radio",
            "stopBit1Radio", "stopBit2Radio", "unencryptedCheck", "useMotFileCheck", "motFileEdit",
            "referButton", "maxBufferList", "roundsList", "okButton", "cancelButton"}));
}

TEST(Forms, AboutBox) {
    AboutDialog about;
    EXPECT_TRUE(about.findChild<QPushButton*>("okButton")->isDefault());
    EXPECT_FALSE(about.findChild<QLabel*>("iconLabel")->pixmap().isNull());
    EXPECT_EQ(about.findChild<QLabel*>("iconLabel")->size(), QSize(32, 32));
}

}  // namespace
}  // namespace qv::test
