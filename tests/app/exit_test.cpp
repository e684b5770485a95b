// Every way out of the main window asks first; Cancel keeps the program. F1 opens About.

#include <gtest/gtest.h>

#include <QtTest/QTest>
#include <QtWidgets/QLabel>

#include "app/about_dialog.h"
#include "app_fixture.h"
#include "frontend/window_boxes.h"

namespace qv::test {
namespace {

struct ExitWay {
    const char* name;
    std::function<void(AppFixture&)> act;
};

void PrintTo(const ExitWay& c, std::ostream* out) {
    *out << c.name;
}

class WaysToExit : public ::testing::TestWithParam<ExitWay> {};

TEST_P(WaysToExit, AskOnceAndCancelKeepsTheWindow) {
    PseudoTerminal port;  // an enabled port list, so that Enter on it reaches the dialog
    SerialPortsEnv ports({port.DevicePath()});
    AppFixture app;
    app.Start();
    ASSERT_TRUE(app.prompts.boxes.empty());

    app.prompts.answer = [](const MessageBox&) { return BoxAnswer::Cancel; };
    GetParam().act(app);
    EXPECT_EQ(app.prompts.boxes, std::vector<MessageBox>{ExitQuestionBox()});
    EXPECT_TRUE(app.window->isVisible());

    app.prompts.answer = nullptr;  // OK
    GetParam().act(app);
    EXPECT_EQ(app.prompts.boxes.size(), 2u);
    EXPECT_FALSE(app.window->isVisible());
    EXPECT_EQ(app.window->result(), QDialog::Rejected);
}

INSTANTIATE_TEST_SUITE_P(
    Main, WaysToExit,
    ::testing::Values(
        ExitWay{"ExitButton",
                [](AppFixture& app) { QTest::mouseClick(app.ExitButton(), Qt::LeftButton); }},
        ExitWay{"EscapeKey",
                [](AppFixture& app) { QTest::keyClick(app.window.get(), Qt::Key_Escape); }},
        ExitWay{"EnterOnExit",
                [](AppFixture& app) { QTest::keyClick(app.ExitButton(), Qt::Key_Return); }},
        ExitWay{"EnterOnPortList",
                [](AppFixture& app) { QTest::keyClick(app.PortList(), Qt::Key_Return); }},
        ExitWay{"CloseBox", [](AppFixture& app) { app.window->close(); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AboutBox, F1OpensItWithItsCaptionAndLabels) {
    SerialPortsEnv noPorts({});
    AppFixture app;
    app.Start();
    QString caption;
    QString product;
    QString notice;
    WhenModalOpens<AboutDialog>([&](AboutDialog* about) {
        caption = about->windowTitle();
        product = about->findChild<QLabel*>("productLabel")->text();
        notice = about->findChild<QLabel*>("noticeLabel")->text();
        about->findChild<QAbstractButton*>("okButton")->click();
    });
    QTest::keyClick(app.window.get(), Qt::Key_F1);

    EXPECT_EQ(caption.toStdString(), "Updater for QV-310/QV-410(HW V2.0)         Ver. R731-2T");
    EXPECT_EQ(product.toStdString(), "Updater for QV-310/QV-410(HW V2.0)");
    EXPECT_FALSE(notice.isEmpty());
    EXPECT_FALSE(notice.contains(QLatin1Char('\n')));
    EXPECT_TRUE(notice.contains(QString::fromLatin1(kProgramVersion))) << "the program's version";
    EXPECT_TRUE(app.window->isVisible());
    EXPECT_TRUE(app.prompts.boxes.empty());
}

}  // namespace
}  // namespace qv::test
